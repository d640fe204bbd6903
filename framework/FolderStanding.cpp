#include "framework/FolderStanding.h"

#include <aclapi.h>

DWORD ReadFolderStanding(HANDLE folder, FolderStanding& standing) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(folder, &information)) return ::GetLastError();
  standing.attributes = information.dwFileAttributes;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD error = ::GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, nullptr, nullptr, &descriptor);
  standing.descriptor.reset(descriptor);
  return error;
}
