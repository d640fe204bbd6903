#include "tests/wine/compare/MainDialogRun.h"

#include "res/resource.h"
#include "tests/wine/ui/Deadline.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/UserInput.h"


CMainDialogRun::CMainDialogRun(const std::wstring& server, const std::string& messages)
    : m_run(WithSettings(m_directory, server, messages)),
      m_reader(m_directory.ProgramPath()),
      m_hDialog(m_run.MainWindow()) {}

// Loopback addresses are plain ASCII.
const CRunDirectory& CMainDialogRun::WithSettings(const CRunDirectory& directory,
                                                  const std::wstring& server,
                                                  const std::string& messages) {
  directory.WriteSettings("[sntp]\r\nserver1=" + std::string(server.begin(), server.end()) +
                          "\r\n[msg]\r\n" + messages);
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

ClockReading CMainDialogRun::ReadClocks() const {
  return m_reader.ReadDialogClocks(m_hDialog);
}
