#include "console/FolderSafety.h"

#include <aclapi.h>
#include <sddl.h>

#include "console/FolderChain.h"

namespace {
// NT SERVICE\TrustedInstaller, the owner of the system's own folders.
const wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr SECURITY_INFORMATION kOwnerAndAccess = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

bool IsTrustedInstaller(PSID sid) {
  PSID trustedInstaller = nullptr;
  if (!::ConvertStringSidToSidW(kTrustedInstaller, &trustedInstaller)) return false;
  const bool same = ::EqualSid(sid, trustedInstaller);
  ::LocalFree(trustedInstaller);
  return same;
}

bool IsAdministrative(PSID sid) {
  return ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(sid, WinLocalSystemSid) ||
         IsTrustedInstaller(sid);
}

bool AllowsOthers(const ACL& access, ACCESS_MASK rights) {
  for (DWORD index = 0; index < access.AceCount; ++index) {
    void* entry = nullptr;
    if (!::GetAce(const_cast<ACL*>(&access), index, &entry)) return true;
    const auto* header = static_cast<const ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & rights) && !IsAdministrative(&allowed->SidStart)) return true;
  }
  return false;
}

bool OthersCanChange(const std::wstring& path, ACCESS_MASK rights) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, kOwnerAndAccess, nullptr, nullptr, nullptr, nullptr,
                              &descriptor) != ERROR_SUCCESS)
    return true;
  const bool changeable = LetsOthersChange(descriptor, rights);
  ::LocalFree(descriptor);
  return changeable;
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

bool LetsOthersChange(PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK rights) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner || !IsAdministrative(owner))
    return true;
  BOOL present = FALSE;
  PACL access = nullptr;
  if (!::GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted) || !present || !access) return true;
  return AllowsOthers(*access, rights);
}

std::wstring FirstPathOthersCanChange(const std::wstring& programPath, const std::wstring& settingsPath) {
  if (OthersCanChange(programPath, kChangeRights)) return programPath;
  if (Exists(settingsPath) && OthersCanChange(settingsPath, kChangeRights)) return settingsPath;
  std::wstring folder = ParentFolder(programPath);
  if (!folder.empty() && OthersCanChange(folder, kChangeRights)) return folder;
  for (folder = ParentFolder(folder); !folder.empty(); folder = ParentFolder(folder)) {
    if (OthersCanChange(folder, kReplaceRights)) return folder;
  }
  return {};
}
