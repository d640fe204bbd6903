#include "console/FolderSafety.h"

#include <aclapi.h>
#include <sddl.h>

#include <utility>
#include <vector>

#include "console/FolderChain.h"

namespace {
// NT SERVICE\TrustedInstaller, the owner of the system's own folders.
const wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr SECURITY_INFORMATION kOwnerAndAccess = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
// Room for an account's or a domain's name: 256 characters is their limit.
constexpr DWORD kAccountNameSize = 257;
// Who may change a path whose permissions could not be read.
const wchar_t kUnknownAccount[] = L"an account unknown (the permissions could not be read)";

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

// DOMAIN\name, or the SID's string where the account has no name here.
std::wstring AccountName(PSID sid) {
  wchar_t name[kAccountNameSize], domain[kAccountNameSize];
  DWORD nameSize = kAccountNameSize, domainSize = kAccountNameSize;
  SID_NAME_USE use;
  if (::LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
    return *domain ? std::wstring(domain) + L"\\" + name : std::wstring(name);
  wchar_t* text = nullptr;
  if (!::ConvertSidToStringSidW(sid, &text)) return kUnknownAccount;
  const std::wstring sidText = text;
  ::LocalFree(text);
  return sidText;
}

std::wstring Everyone() {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(sid);
  return ::CreateWellKnownSid(WinWorldSid, nullptr, sid, &size) ? AccountName(sid) : kUnknownAccount;
}

std::wstring OtherAllowed(const ACL& access, ACCESS_MASK rights) {
  for (DWORD index = 0; index < access.AceCount; ++index) {
    void* entry = nullptr;
    if (!::GetAce(const_cast<ACL*>(&access), index, &entry)) return kUnknownAccount;
    const auto* header = static_cast<const ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & rights) && !IsAdministrative(&allowed->SidStart)) return AccountName(&allowed->SidStart);
  }
  return {};
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
  if (!IsAdministrative(owner)) return AccountName(owner);
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
