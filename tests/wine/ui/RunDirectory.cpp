#include "tests/wine/ui/RunDirectory.h"

#include <windows.h>

#include <fstream>

namespace {
constexpr wchar_t kSettingsName[] = L"Movrane.ini";

std::filesystem::path FreshPath() {
  static int runs = 0;
  const std::wstring name = L"movrane-run-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++runs);
  return std::filesystem::temp_directory_path() / name;
}
}  // namespace

CRunDirectory::CRunDirectory(const wchar_t* programName) : m_path(FreshPath()), m_programName(programName) {
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
