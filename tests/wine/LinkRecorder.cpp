// Stands in for a web browser: writes its command line (UTF-16) to the file
// named by MOVRANE_LINK_RECORD, whole or not at all.
#include <windows.h>

#include <string>

int main() {
  wchar_t record[MAX_PATH] = {};
  if (!::GetEnvironmentVariableW(L"MOVRANE_LINK_RECORD", record, MAX_PATH)) return 1;
  const std::wstring partial = std::wstring(record) + L".part";
  const HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const LPCWSTR commandLine = ::GetCommandLineW();
  DWORD written = 0;
  ::WriteFile(file, commandLine, static_cast<DWORD>(::lstrlenW(commandLine) * sizeof(wchar_t)),
              &written, nullptr);
  ::CloseHandle(file);
  return ::MoveFileExW(partial.c_str(), record, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
