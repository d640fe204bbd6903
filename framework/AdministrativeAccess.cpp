#include "framework/AdministrativeAccess.h"

#include <sddl.h>

namespace {
// Room for an account's or a domain's name: 256 characters is their limit.
constexpr DWORD kAccountNameSize = 257;
// NT SERVICE\TrustedInstaller, the owner of the system's own folders.
const wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool IsTrustedInstaller(PSID sid) {
  PSID trustedInstaller = nullptr;
  if (!::ConvertStringSidToSidW(kTrustedInstaller, &trustedInstaller)) return false;
  const bool same = ::EqualSid(sid, trustedInstaller);
  ::LocalFree(trustedInstaller);
  return same;
}

// Stands for an owner the descriptor does not name: never one of the
// administrators.
SID kNoOwner = {SID_REVISION, 0, SECURITY_NULL_SID_AUTHORITY, {SECURITY_NULL_RID}};
}  // namespace

bool IsAdministrative(PSID sid) {
  return ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(sid, WinLocalSystemSid) ||
         IsTrustedInstaller(sid);
}

bool FindOtherAllowed(const ACL& access, ACCESS_MASK rights, PSID& other) {
  other = nullptr;
  for (DWORD index = 0; index < access.AceCount; ++index) {
    void* entry = nullptr;
    if (!::GetAce(const_cast<ACL*>(&access), index, &entry)) return false;
    const auto* header = static_cast<const ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & rights) && !IsAdministrative(&allowed->SidStart)) {
      other = &allowed->SidStart;
      return true;
    }
  }
  return true;
}

PSID OwnerOtherThanAdministrators(PSECURITY_DESCRIPTOR descriptor) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner) return &kNoOwner;
  return IsAdministrative(owner) ? nullptr : owner;
}

bool AccessLetsOthers(PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK rights) {
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL access = nullptr;
  if (!::GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted) || !present || !access) return true;
  PSID other = nullptr;
  return !FindOtherAllowed(*access, rights, other) || other;
}

std::wstring AccountName(PSID sid) {
  wchar_t name[kAccountNameSize];
  wchar_t domain[kAccountNameSize];
  DWORD nameSize = kAccountNameSize;
  DWORD domainSize = kAccountNameSize;
  SID_NAME_USE use;
  if (::LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
    return *domain ? std::wstring(domain) + L'\\' + name : std::wstring(name);
  LPWSTR text = nullptr;
  if (!::ConvertSidToStringSidW(sid, &text)) return {};
  std::wstring account(text);
  ::LocalFree(text);
  return account;
}
