// The run token of a test build of Movrane.com: the process's own as an
// administrator's is before elevation, without the system-time privilege
// and with the Administrators group for denying only. Wine runs every
// process elevated and keeps every privilege of a token restricted with
// DISABLE_MAX_PRIVILEGE; one it is told to delete goes, and a group it is
// told to disable no longer counts as a membership.
#include "console/ClockRights.h"

HANDLE OpenRunToken() {
  HANDLE own = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &own)) return nullptr;
  LUID_AND_ATTRIBUTES removed{};
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  SID_AND_ATTRIBUTES disabled{administrators, 0};
  HANDLE restricted = nullptr;
  if (::LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &removed.Luid) &&
      ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size))
    ::CreateRestrictedToken(own, 0, 1, &disabled, 1, &removed, 0, nullptr, &restricted);
  ::CloseHandle(own);
  return restricted;
}
