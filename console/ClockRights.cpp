#include "console/ClockRights.h"

#include <vector>

bool HoldsSystemTimePrivilege(HANDLE token) {
  LUID systemTime{};
  if (!::LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &systemTime)) return false;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  if (size < sizeof(TOKEN_PRIVILEGES)) return false;
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) return false;
  const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const LUID& held = privileges->Privileges[i].Luid;
    if (held.LowPart == systemTime.LowPart && held.HighPart == systemTime.HighPart) return true;
  }
  return false;
}

// Membership is checked on an impersonation copy of the token, as
// CheckTokenMembership asks.
bool IsAdministrator(HANDLE token) {
  HANDLE copy = nullptr;
  if (!::DuplicateToken(token, SecurityIdentification, &copy)) return false;
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  BOOL member = FALSE;
  const bool checked = ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
                       ::CheckTokenMembership(copy, administrators, &member);
  ::CloseHandle(copy);
  return checked && member;
}
