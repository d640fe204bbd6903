#pragma once
#include <filesystem>
#include <string>

// A fresh directory holding a copy of the program under test (Movrane.exe
// unless told another of the build), and the settings file a test gives
// it. Removed with everything in it.
class CRunDirectory {
public:
  // With a length, the program's full path has that many characters.
  explicit CRunDirectory(const wchar_t* programName = kDialogProgram, size_t programPathLength = 0);
  ~CRunDirectory();
  CRunDirectory(const CRunDirectory&) = delete;
  CRunDirectory& operator=(const CRunDirectory&) = delete;

  // Movrane.ini with exactly these bytes.
  void WriteSettings(const std::string& bytes) const;

  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path ProgramPath() const;

  // Movrane.exe of the build, beside the running test executable.
  static std::filesystem::path BuiltProgram();

  static constexpr wchar_t kDialogProgram[] = L"Movrane.exe";
  static constexpr wchar_t kConsoleProgram[] = L"Movrane.com";

private:
  std::filesystem::path m_path;
  std::wstring m_programName;
};
