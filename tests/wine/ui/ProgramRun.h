#pragma once
#include <windows.h>

#include <filesystem>

#include "tests/wine/ui/RunDirectory.h"

// One run of the program of a run directory, started as the shell starts
// it, in that directory unless told another; ended on destruction if it
// still runs.
class CProgramRun {
public:
  static constexpr wchar_t kCaption[] = L"Movrane";

  explicit CProgramRun(const CRunDirectory& directory, const std::filesystem::path& workingDirectory = {});
  ~CProgramRun();
  CProgramRun(const CProgramRun&) = delete;
  CProgramRun& operator=(const CProgramRun&) = delete;

  bool Started() const { return m_info.hProcess != nullptr; }
  DWORD ProcessId() const { return m_info.dwProcessId; }

  // The main dialog once it is shown and has drawn itself; null when it
  // does not come.
  HWND MainWindow();
  // Closes the dialog as a person does, with the Escape key.
  void PressEscape();

  bool WaitForExit(DWORD nMilliseconds) const;
  // Processes that run the program of this run's directory.
  int RunningCopies() const;

private:
  const CRunDirectory& m_directory;
  PROCESS_INFORMATION m_info{};
  HWND m_hMainWnd = nullptr;
};
