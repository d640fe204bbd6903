// The run token of a test build of Movrane.com: the process's own without
// the system-time privilege, as an administrator's is before elevation.
// Wine runs every process elevated and keeps every privilege of a token
// restricted with DISABLE_MAX_PRIVILEGE; one it is told to delete goes.
#include "console/ClockRights.h"

HANDLE OpenRunToken() {
  HANDLE own = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &own)) return nullptr;
  LUID_AND_ATTRIBUTES removed{};
  HANDLE restricted = nullptr;
  if (::LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &removed.Luid))
    ::CreateRestrictedToken(own, 0, 0, nullptr, 1, &removed, 0, nullptr, &restricted);
  ::CloseHandle(own);
  return restricted;
}
