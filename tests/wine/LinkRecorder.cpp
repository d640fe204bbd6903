// Stands in for a web browser: records which program started it and its
// command line (UTF-16, one line each) in link_record.txt beside itself,
// whole or not at all.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

namespace {

// The file name of the program that started this one; "" when unknown.
std::wstring ParentProgram() {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return L"";
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  DWORD parent = 0;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == ::GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  }
  std::wstring name;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == parent) name = entry.szExeFile;
  }
  ::CloseHandle(snapshot);
  return name;
}

std::wstring RecordPath() {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  return path.erase(path.find_last_of(L'\\') + 1) + L"link_record.txt";
}

}  // namespace

int main() {
  const std::wstring record = RecordPath();
  const std::wstring partial = record + L".part";
  const HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const std::wstring text = ParentProgram() + L"\n" + ::GetCommandLineW();
  DWORD written = 0;
  ::WriteFile(file, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
  ::CloseHandle(file);
  return ::MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
