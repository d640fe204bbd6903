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
