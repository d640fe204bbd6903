#include "tests/wine/ui/ProgramRun.h"

#include <tlhelp32.h>

#include <string>

#include "res/resource.h"
#include "tests/wine/ui/ProcessWindows.h"
#include "tests/wine/ui/UserInput.h"

namespace {
constexpr DWORD kShowUpMs = 15000;
constexpr DWORD kIdleMs = 5000;
constexpr DWORD kEndMs = 5000;

// The program of a process that has not ended yet; "" for any other.
std::wstring RunningImagePath(DWORD nProcessId) {
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, nProcessId);
  if (!process) return std::wstring();
  wchar_t path[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
                       ::QueryFullProcessImageNameW(process, 0, path, &length);
  ::CloseHandle(process);
  return running ? std::wstring(path, length) : std::wstring();
}
}  // namespace

CProgramRun::CProgramRun(const CRunDirectory& directory, const std::filesystem::path& workingDirectory)
    : m_directory(directory) {
  const std::wstring program = directory.ProgramPath().wstring();
  std::wstring commandLine = L"\"" + program + L"\"";
  const std::filesystem::path& current = workingDirectory.empty() ? directory.Path() : workingDirectory;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        current.c_str(), &startup, &m_info)) {
    m_info = PROCESS_INFORMATION{};
  }
}

CProgramRun::~CProgramRun() {
  if (!Started()) return;
  if (!WaitForExit(0)) {
    ::TerminateProcess(m_info.hProcess, 1);
    WaitForExit(kEndMs);
  }
  ::CloseHandle(m_info.hThread);
  ::CloseHandle(m_info.hProcess);
}

HWND CProgramRun::MainWindow() {
  if (!m_hMainWnd && Started()) {
    m_hMainWnd = CProcessWindows(ProcessId()).WaitFor(kCaption, IDC_LOG, kShowUpMs);
    if (m_hMainWnd) ::WaitForInputIdle(m_info.hProcess, kIdleMs);
  }
  return m_hMainWnd;
}

void CProgramRun::PressEscape() {
  if (!MainWindow()) return;
  ::SetForegroundWindow(m_hMainWnd);
  UserInput::PressKey(VK_ESCAPE);
}

bool CProgramRun::WaitForExit(DWORD nMilliseconds) const {
  return Started() && ::WaitForSingleObject(m_info.hProcess, nMilliseconds) == WAIT_OBJECT_0;
}

int CProgramRun::RunningCopies() const {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  const std::wstring program = m_directory.ProgramPath().wstring();
  int copies = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (::lstrcmpiW(RunningImagePath(entry.th32ProcessID).c_str(), program.c_str()) == 0) ++copies;
  }
  ::CloseHandle(snapshot);
  return copies;
}
