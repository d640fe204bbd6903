#include "console/FolderSafety.h"

#include <aclapi.h>

#include <utility>
#include <vector>

#include "console/FolderChain.h"

namespace {
constexpr SECURITY_INFORMATION kOwnerAndAccess = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
// Who may change a path whose permissions could not be read.
const wchar_t kUnknownAccount[] = L"an account unknown (the permissions could not be read)";

// An account's name, or that it is unknown.
std::wstring NameOf(PSID sid) {
  const std::wstring name = AccountName(sid);
  return name.empty() ? kUnknownAccount : name;
}

std::wstring Everyone() {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(sid);
  return ::CreateWellKnownSid(WinWorldSid, nullptr, sid, &size) ? NameOf(sid) : kUnknownAccount;
}

std::wstring OtherAllowed(const ACL& access, ACCESS_MASK rights) {
  PSID other = nullptr;
  if (!FindOtherAllowed(access, rights, other)) return kUnknownAccount;
  return other ? NameOf(other) : std::wstring();
}

std::wstring OtherAccountThatCanChange(const std::wstring& path, ACCESS_MASK rights) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, kOwnerAndAccess, nullptr, nullptr, nullptr, nullptr,
                              &descriptor) != ERROR_SUCCESS)
    return kUnknownAccount;
  const std::wstring account = OtherAccountThatCan(descriptor, rights);
  ::LocalFree(descriptor);
  return account;
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

std::wstring OtherAccountThatCan(PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK rights) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner) return kUnknownAccount;
  if (!IsAdministrative(owner)) return NameOf(owner);
  BOOL present = FALSE;
  PACL access = nullptr;
  if (!::GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted)) return kUnknownAccount;
  if (!present || !access) return Everyone();
  return OtherAllowed(*access, rights);
}

// Each path with the rights that matter for it, in the order the refusal
// names them.
ChangeablePath FirstPathOthersCanChange(const std::wstring& programPath, const std::wstring& settingsPath) {
  std::vector<std::pair<std::wstring, ACCESS_MASK>> paths = {{programPath, kChangeRights}};
  if (Exists(settingsPath)) paths.emplace_back(settingsPath, kChangeRights);
  std::wstring folder = ParentFolder(programPath);
  if (!folder.empty()) paths.emplace_back(folder, kChangeRights);
  for (folder = ParentFolder(folder); !folder.empty(); folder = ParentFolder(folder))
    paths.emplace_back(folder, kReplaceRights);
  for (const auto& [path, rights] : paths) {
    std::wstring account = OtherAccountThatCanChange(path, rights);
    if (!account.empty()) return {path, account};
  }
  return {};
}
