#pragma once
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/wine/ui/ClockReader.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/RunDirectory.h"

// One run of the program against a time server, with these lines in the
// settings' message section; and its main dialog as a person sees and uses it.
// Before the program starts, `prepare` may add to its folder; its current
// directory is its folder unless given another.
class CMainDialogRun {
public:
  using FolderPreparation = std::function<void(const std::filesystem::path&)>;

  explicit CMainDialogRun(const std::wstring& server, const std::string& messages = "",
                          const FolderPreparation& prepare = {},
                          const std::filesystem::path& workingDirectory = {});

  // Null when the dialog did not show.
  HWND Dialog() const { return m_hDialog; }
  CProgramRun& Program() { return m_run; }

  std::wstring Log() const;
  // The first log text other than `before`; `before` when none comes in time.
  std::wstring AwaitLogOtherThan(const std::wstring& before, DWORD nMilliseconds) const;
  void Click(int nButtonId) const;
  // Clicks the button, again after each "Under processing..." box, until
  // the log changes from `before`; the new log, or `before` if none comes.
  std::wstring ClickUntilLogged(int nButtonId, const std::wstring& before, DWORD nMilliseconds);
  // The clocks once a reading is settled (by default: once the local clock
  // shows the time of its reading); the last reading if none settles soon.
  ClockReading ReadClocks(const std::function<bool(const ClockReading&)>& settled =
                              CClockReader::ShowsItsTime) const;

private:
  static const CRunDirectory& Prepared(const CRunDirectory& directory, const std::wstring& server,
                                       const std::string& messages, const FolderPreparation& prepare);

  CRunDirectory m_directory;
  CProgramRun m_run;
  CClockReader m_reader;
  HWND m_hDialog;
};
