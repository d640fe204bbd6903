#include "tests/wine/ui/RunDirectory.h"

#include <windows.h>

#include <cwchar>
#include <fstream>

namespace {
constexpr wchar_t kSettingsName[] = L"Movrane.ini";

// Its name made longer where the program's path in it is to be longer.
std::filesystem::path FreshPath(const wchar_t* programName, size_t programPathLength) {
  static int runs = 0;
  std::wstring path = (std::filesystem::temp_directory_path() / L"movrane-run-").wstring() +
                      std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++runs);
  const size_t length = path.size() + 1 + std::wcslen(programName);
  return path.append(programPathLength > length ? programPathLength - length : 0, L'x');
}
}  // namespace

CRunDirectory::CRunDirectory(const wchar_t* programName, size_t programPathLength)
    : m_path(FreshPath(programName, programPathLength)), m_programName(programName) {
  std::filesystem::remove_all(m_path);
  std::filesystem::create_directories(m_path);
  std::filesystem::copy_file(BuiltProgram().replace_filename(m_programName), ProgramPath());
}

CRunDirectory::~CRunDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

void CRunDirectory::WriteSettings(const std::string& bytes) const {
  std::ofstream file(m_path / kSettingsName, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::filesystem::path CRunDirectory::ProgramPath() const {
  return m_path / m_programName;
}

std::filesystem::path CRunDirectory::BuiltProgram() {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path() / kDialogProgram;
}
