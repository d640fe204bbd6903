// Runs Movrane against one server and clicks its compare button COUNT
// times, as a person does. Prints a line per click: the milliseconds from
// the click to the new log, the milliseconds of one exchange of its own
// with the same server just before, and the offset the log shows; or
// "failed" and why. With --nts the program asks with NTS (its settings say
// nts=1): its clicks spend the cookies of its start-up compare's key
// exchange; the probe's own exchanges are authenticated too.
// usage: compare_probe HOST COUNT [--nts]
#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>

#include <fstream>

#include "exchange/ServerQuery.h"
#include "framework/SocketInit.h"
#include "res/resource.h"
#include "tests/wine/compare/LogReading.h"
#include "tests/wine/compare/MainDialogRun.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/UserInput.h"

namespace {

constexpr DWORD kFirstLogMs = 3000;
// Longer than the program's wait for a reply.
constexpr DWORD kLogMs = 6000;
constexpr DWORD kPollMs = 1;
// Lets the worker of one click end before the next.
constexpr DWORD kGapMs = 100;
constexpr int kUsage = 2;
constexpr int kNoDialog = 3;

const wchar_t* const kOffsetLabels[] = {L"Local time is slower than Server time",
                                        L"Local time is faster than Server time"};

// Milliseconds since a start.
class CStopwatch {
public:
  double Milliseconds() const {
    return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count();
  }

private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point m_start = Clock::now();
};

// Milliseconds of one exchange through the program's own client; with an
// NTS session, authenticated.
std::optional<double> RoundTrip(LPCWSTR host, CNtsSession* nts) {
  CServerQuery query(nullptr);
  CNtsSession plain;
  const CStopwatch stopwatch;
  if (!query.Run(host, nts != nullptr, nts ? *nts : plain, CTimeLimit(CServerQuery::kPollTimeout))) return std::nullopt;
  return stopwatch.Milliseconds();
}

// A left click where the pointer is.
void PressLeftButton() {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, inputs, sizeof(INPUT));
}

// The offset line, the one before the local time's.
std::optional<double> LoggedOffset(const std::wstring& log) {
  const auto lines = LinesOf(log);
  if (!lines || lines->size() < 3) return std::nullopt;
  for (const wchar_t* label : kOffsetLabels) {
    if (const auto offset = OffsetIn((*lines)[lines->size() - 2], label)) return offset;
  }
  return std::nullopt;
}

void ClickAndTime(const CMainDialogRun& run, LPCWSTR host, CNtsSession* nts) {
  const std::optional<double> roundTrip = RoundTrip(host, nts);
  const std::wstring before = run.Log();
  const CStopwatch stopwatch;
  PressLeftButton();
  std::wstring log = before;
  while (log == before && stopwatch.Milliseconds() < kLogMs) {
    ::Sleep(kPollMs);
    log = run.Log();
  }
  const double clickToLog = stopwatch.Milliseconds();
  const std::optional<double> offset = LoggedOffset(log);
  if (!roundTrip)
    std::printf("failed own exchange\n");
  else if (log == before)
    std::printf("failed no new log\n");
  else if (!offset)
    std::printf("failed log without offset\n");
  else
    std::printf("%.3f %.3f %.6f\n", clickToLog, *roundTrip, *offset);
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool nts = argc == 4 && std::wcscmp(argv[3], L"--nts") == 0;
  if (argc != 3 && !nts) {
    std::fprintf(stderr, "usage: compare_probe HOST COUNT [--nts]\n");
    return kUsage;
  }
  if (!AfxSocketInit()) return 1;
  const std::wstring host = argv[1];
  const CMainDialogRun run(host, "", [&](const std::filesystem::path& folder) {
    if (nts) std::ofstream(folder / "Movrane.ini") << "[sntp]\nserver1=" << std::string(host.begin(), host.end())
                                                   << "\nnts=1\n";
  });
  if (!run.Dialog() || run.AwaitLogOtherThan(L"", kFirstLogMs).empty()) {
    std::fprintf(stderr, "compare_probe: no dialog, or no start-up compare\n");
    return kNoDialog;
  }
  CNtsSession session;
  UserInput::MoveTo(UserInput::CentreOf(CDialogView(run.Dialog()).Control(IDC_COMPARE)));
  for (long i = std::wcstol(argv[2], nullptr, 10); i > 0; --i) {
    ClickAndTime(run, argv[1], nts ? &session : nullptr);
    ::Sleep(kGapMs);
  }
  return 0;
}
