#include "framework/SafeDataFolder.h"

#include <sddl.h>
#include <shlobj.h>

#include "framework/AdministrativeAccess.h"

namespace {
const wchar_t kProgramFolder[] = L"Movrane";
// Owned by Administrators, SYSTEM and Administrators alone may use it, and
// what is made inside inherits that; nothing is inherited from above.
const wchar_t kAdministratorsOnly[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
constexpr DWORD kAnySharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

SafeDataFolder Unsafe(DataFolderProblem problem, std::wstring owner = {}) {
  SafeDataFolder folder;
  folder.problem = problem;
  folder.owner = std::move(owner);
  return folder;
}

std::wstring ProgramFolderPath() {
  PWSTR programData = nullptr;
  if (FAILED(::SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &programData))) return {};
  std::wstring path = std::wstring(programData) + L'\\' + kProgramFolder;
  ::CoTaskMemFree(programData);
  return path;
}

// False only when the folder could not be made for another reason than
// that it is there.
bool MakeAdministratorsOnlyFolder(const std::wstring& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnly, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
    return false;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  const bool made = ::CreateDirectoryW(path.c_str(), &attributes) || ::GetLastError() == ERROR_ALREADY_EXISTS;
  ::LocalFree(descriptor);
  return made;
}

SafeDataFolder CheckFolder(const std::wstring& path) {
  HANDLE folder = ::CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, kAnySharing, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return Unsafe(absent ? DataFolderProblem::Absent : DataFolderProblem::SystemError);
  }
  FolderStanding standing;
  const DWORD error = ReadFolderStanding(folder, standing);
  ::CloseHandle(folder);
  if (error != ERROR_SUCCESS) return Unsafe(DataFolderProblem::SystemError);
  return JudgeDataFolder(path, standing);
}

SafeDataFolder OpenLevel(const std::wstring& path, bool create) {
  if (create && !MakeAdministratorsOnlyFolder(path)) return Unsafe(DataFolderProblem::SystemError);
  return CheckFolder(path);
}

// Known to be absent: not there at all, rather than hidden from this run.
bool Absent(const std::wstring& path) {
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Each entry itself, never what a link points at: a link to a folder goes
// as a folder does, and a folder that is not empty stays.
void RemoveEntries(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L'\\' + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ::RemoveDirectoryW(path.c_str());
    else
      ::DeleteFileW(path.c_str());
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
}
}  // namespace

SafeDataFolder JudgeDataFolder(const std::wstring& path, const FolderStanding& standing) {
  if (standing.attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Unsafe(DataFolderProblem::IsALink);
  if (!(standing.attributes & FILE_ATTRIBUTE_DIRECTORY)) return Unsafe(DataFolderProblem::SystemError);
  if (PSID owner = OwnerOtherThanAdministrators(standing.descriptor.get()))
    return Unsafe(DataFolderProblem::NotOwnedByAdministrators, AccountName(owner));
  if (AccessLetsOthers(standing.descriptor.get(), kChangeRights)) return Unsafe(DataFolderProblem::OthersMayChange);
  SafeDataFolder folder;
  folder.path = path;
  return folder;
}

SafeDataFolder OpenSafeDataFolder(const wchar_t* name, bool create) {
  const std::wstring programFolder = ProgramFolderPath();
  if (programFolder.empty()) return Unsafe(DataFolderProblem::SystemError);
  const SafeDataFolder above = OpenLevel(programFolder, create);
  if (above.problem != DataFolderProblem::None) return above;
  return OpenLevel(programFolder + L'\\' + name, create);
}

bool RemoveSafeDataFolder(const wchar_t* name) {
  const std::wstring programFolder = ProgramFolderPath();
  if (programFolder.empty()) return false;
  const SafeDataFolder above = CheckFolder(programFolder);
  if (above.problem == DataFolderProblem::Absent) return true;
  if (above.problem != DataFolderProblem::None) return false;
  // Only administrators can put another folder in its place from here on.
  const std::wstring folder = programFolder + L'\\' + name;
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Absent(folder);
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveEntries(folder);
  ::RemoveDirectoryW(folder.c_str());
  return Absent(folder);
}
