// The folder checks of a test build of Movrane.com: everything it runs
// from counts as changeable by administrators only, as under Program
// Files, and its data folders stand as Windows makes them, which Wine
// cannot show (it gives every folder to the user and ignores a change of
// its permissions, and it shows no link as one). MOVRANE_FOLDER_STANDING
// gives the data folders another standing: "link", or a security
// descriptor in SDDL.
#include <windows.h>
#include <sddl.h>

#include <string>

#include "console/FolderSafety.h"
#include "framework/FolderStanding.h"

namespace {
const wchar_t kAsWindowsMakesThem[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

std::wstring StandingAsked() {
  wchar_t standing[512];
  const DWORD length = ::GetEnvironmentVariableW(L"MOVRANE_FOLDER_STANDING", standing, ARRAYSIZE(standing));
  return length && length < ARRAYSIZE(standing) ? standing : kAsWindowsMakesThem;
}
}  // namespace

ChangeablePath FirstPathOthersCanChange(const std::wstring&, const std::wstring&) {
  return {};
}

DWORD ReadFolderStanding(HANDLE folder, FolderStanding& standing) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(folder, &information)) return ::GetLastError();
  standing.attributes = information.dwFileAttributes;
  std::wstring asked = StandingAsked();
  if (asked == L"link") {
    standing.attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    asked = kAsWindowsMakesThem;
  }
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(asked.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
    return ::GetLastError();
  standing.descriptor.reset(descriptor);
  return ERROR_SUCCESS;
}
