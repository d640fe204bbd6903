// Looks at the running Movrane window from outside, as a person would:
//   movrane_probe texts          the caption, the control texts and what
//                                both clocks show
//   movrane_probe ticks SECONDS  watches the local clock tick; one summary
//                                line of its phase and steps
//   movrane_probe about          opens the about box, prints its version
//                                label and closes it again
//   movrane_probe close          presses Escape on the window
// Exit status 2 when no Movrane window shows within a few seconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "res/resource.h"
#include "tests/wine/probe/TickWatch.h"
#include "tests/wine/ui/ClockReader.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProcessWindows.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/UserInput.h"

namespace {

constexpr DWORD kShowUpMs = 10000;
constexpr int kNoWindow = 2;
constexpr int kUsage = 3;
constexpr int kPercentile95 = 95;

struct NamedControl {
  int nId;
  const char* name;
};

const NamedControl kControls[] = {
    {IDC_LOCAL_LABEL, "local label"}, {IDC_SERVER_LABEL, "server label"},
    {IDC_ABOUT, "about button"},      {IDC_COMPARE, "compare button"},
    {IDC_SYNCHRONIZE, "sync button"}, {IDC_LOG, "log"},
};

std::string Utf8(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(size - 1);
  return bytes;
}

// A text of several lines, as an indented block of lines.
std::wstring AsBlock(const std::wstring& text) {
  const std::wstring lineEnd = L"\r\n";
  if (text.find(lineEnd) == std::wstring::npos) return text;
  std::wstring block;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find(lineEnd, start), text.size());
    block += L"\n  " + text.substr(start, end - start);
    start = end + lineEnd.size();
  }
  return block;
}

std::wstring ProgramOf(HWND hWnd) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(hWnd, &processId);
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  wchar_t path[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  if (process) {
    ::QueryFullProcessImageNameW(process, 0, path, &length);
    ::CloseHandle(process);
  }
  return path;
}

int PrintTexts(HWND hWnd) {
  const CDialogView dialog(hWnd);
  const RECT window = dialog.WindowRect();
  std::printf("caption: %s\n", Utf8(dialog.Caption()).c_str());
  std::printf("window: %ldx%ld+%ld+%ld\n", window.right - window.left, window.bottom - window.top,
              window.left, window.top);
  for (const NamedControl& control : kControls) {
    std::printf("%s: %s\n", control.name, Utf8(AsBlock(dialog.Text(control.nId))).c_str());
  }
  const CClockReader reader(ProgramOf(hWnd), CClockReader::ScaleIndexOf(dialog.Control(IDC_LOCAL_CLOCK)));
  std::printf("local clock: %s\n", Utf8(reader.Read(dialog.Control(IDC_LOCAL_CLOCK), ClockKind::Local)).c_str());
  std::printf("server clock: %s\n",
              Utf8(reader.Read(dialog.Control(IDC_SERVER_CLOCK), ClockKind::Server)).c_str());
  return 0;
}

int Percentile(std::vector<int> values, int percent) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[(values.size() - 1) * percent / 100];
}

int WatchTicks(HWND hWnd, DWORD nSeconds) {
  const HWND clock = CDialogView(hWnd).Control(IDC_LOCAL_CLOCK);
  const CClockReader reader(ProgramOf(hWnd), CClockReader::ScaleIndexOf(clock));
  const CTickWatch::Result result = CTickWatch(clock, reader).Watch(nSeconds);
  const std::vector<int>& phases = result.arrPhasesMs;
  const int least = phases.empty() ? 0 : *std::min_element(phases.begin(), phases.end());
  const int most = phases.empty() ? 0 : *std::max_element(phases.begin(), phases.end());
  std::printf("steps=%d skipped=%d repeated=%d unreadable=%d phase_ms_min=%d phase_ms_median=%d "
              "phase_ms_p95=%d phase_ms_max=%d\n",
              result.nSteps, result.nSkipped, result.nRepeated, result.nUnreadable, least,
              Percentile(phases, 50), Percentile(phases, kPercentile95), most);
  return 0;
}

int ShowAbout(HWND hWnd) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(hWnd, &processId);
  UserInput::ClickWindow(CDialogView(hWnd).Control(IDC_ABOUT));
  const HWND box = CProcessWindows(processId).WaitFor(L"About...", IDC_VERSION, kShowUpMs);
  if (!box) {
    std::fprintf(stderr, "movrane_probe: no about box\n");
    return kNoWindow;
  }
  std::printf("version: %s\n", Utf8(CDialogView(box).Text(IDC_VERSION)).c_str());
  UserInput::ClickWindow(CDialogView(box).Control(IDOK));
  return 0;
}

int Close(HWND hWnd) {
  ::SetForegroundWindow(hWnd);
  UserInput::PressKey(VK_ESCAPE);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  const HWND hWnd =
      CProcessWindows(CProcessWindows::kAnyProcess).WaitFor(CProgramRun::kCaption, IDC_LOG, kShowUpMs);
  if (!hWnd) {
    std::fprintf(stderr, "movrane_probe: no Movrane window\n");
    return kNoWindow;
  }
  if (command == L"texts") return PrintTexts(hWnd);
  if (command == L"ticks" && argc > 2) return WatchTicks(hWnd, std::wcstoul(argv[2], nullptr, 10));
  if (command == L"about") return ShowAbout(hWnd);
  if (command == L"close") return Close(hWnd);
  std::fprintf(stderr, "usage: movrane_probe texts | ticks SECONDS | about | close\n");
  return kUsage;
}
