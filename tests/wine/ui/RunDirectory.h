#pragma once
#include <filesystem>
#include <string>

// A fresh directory holding a copy of the program under test, and the
// settings file a test gives it. Removed with everything in it.
class CRunDirectory {
public:
  CRunDirectory();
  ~CRunDirectory();
  CRunDirectory(const CRunDirectory&) = delete;
  CRunDirectory& operator=(const CRunDirectory&) = delete;

  // Movrane.ini with exactly these bytes.
  void WriteSettings(const std::string& bytes) const;

  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path ProgramPath() const;

  // Movrane.exe of the build, beside the running test executable.
  static std::filesystem::path BuiltProgram();

private:
  std::filesystem::path m_path;
};
