#include "console/FolderSafety.h"

#include <aclapi.h>

#include "console/FolderChain.h"

namespace {
constexpr SECURITY_INFORMATION kOwnerAndAccess = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

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
