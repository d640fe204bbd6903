#include "tests/wine/compare/MainDialogRun.h"

#include "res/resource.h"
#include "tests/wine/ui/Deadline.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/MessageBoxView.h"
#include "tests/wine/ui/UserInput.h"

namespace {
// Time for the program to settle what it shows, however busy the machine.
constexpr DWORD kSettleMs = 5000;
// Pause before clicking again while the program is busy.
constexpr DWORD kRetryMs = 200;
}  // namespace

CMainDialogRun::CMainDialogRun(const std::wstring& server, const std::string& messages,
                               const FolderPreparation& prepare, const std::filesystem::path& workingDirectory)
    : m_run(Prepared(m_directory, server, messages, prepare), workingDirectory),
      m_reader(m_directory.ProgramPath()),
      m_hDialog(m_run.MainWindow()) {}

// Loopback addresses are plain ASCII.
const CRunDirectory& CMainDialogRun::Prepared(const CRunDirectory& directory, const std::wstring& server,
                                              const std::string& messages, const FolderPreparation& prepare) {
  directory.WriteSettings("[sntp]\r\nserver1=" + std::string(server.begin(), server.end()) +
                          "\r\n[msg]\r\n" + messages);
  if (prepare) prepare(directory.Path());
  return directory;
}

std::wstring CMainDialogRun::Log() const {
  return CDialogView(m_hDialog).Text(IDC_LOG);
}

std::wstring CMainDialogRun::AwaitLogOtherThan(const std::wstring& before, DWORD nMilliseconds) const {
  std::wstring log = before;
  CDeadline::Await([&] { return (log = Log()) != before; }, nMilliseconds);
  return log;
}

void CMainDialogRun::Click(int nButtonId) const {
  UserInput::ClickWindow(CDialogView(m_hDialog).Control(nButtonId));
}

std::wstring CMainDialogRun::ClickUntilLogged(int nButtonId, const std::wstring& before,
                                              DWORD nMilliseconds) {
  const CDeadline deadline(nMilliseconds);
  std::wstring log = before;
  while (!deadline.Expired()) {
    Click(nButtonId);
    HWND busy = nullptr;
    CDeadline::Await(
        [&] {
          busy = CMessageBoxView::Find(m_run.ProcessId());
          return busy || (log = Log()) != before;
        },
        nMilliseconds);
    if (!busy) break;
    CMessageBoxView(busy).Press();
    ::Sleep(kRetryMs);
  }
  return log;
}

ClockReading CMainDialogRun::ReadClocks(const std::function<bool(const ClockReading&)>& settled) const {
  return m_reader.AwaitDialogClocks(m_hDialog, settled, kSettleMs);
}
