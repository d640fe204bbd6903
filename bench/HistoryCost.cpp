// What knowing the machine adds to a compare: the time to read the other
// setters' configuration and to append a record to the history (a file of
// 1,000 records once full), each the median of COUNT (default 200) runs,
// in milliseconds. Linked with the tests' folder standing, so that the
// history's folder counts as Windows makes it, which Wine cannot show.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <vector>

#include "exchange/HistoryFile.h"
#include "exchange/OtherSettersReader.h"

namespace {
double MedianMilliseconds(int count, const std::function<void()>& run) {
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  for (int i = 0; i < count; ++i) {
    ::QueryPerformanceCounter(&start);
    run();
    ::QueryPerformanceCounter(&end);
    times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

ServerPoll OnePoll() {
  SntpExchangeResult result;
  result.m_dClockOffset = 0.001;
  result.m_dErrorBound = 0.008;
  ServerPoll poll;
  poll.answers.push_back({L"127.0.0.2", result, ServerVerdict::Truechimer});
  poll.chosen = 0;
  return poll;
}
}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const int count = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 200;
  const ServerPoll poll = OnePoll();
  for (size_t i = 0; i < kHistoryRecords; ++i) CHistoryFile::Keep(poll, false);  // a full file
  const double reading = MedianMilliseconds(count, [] { ReadSetterConfiguration(); });
  const double keeping = MedianMilliseconds(count, [&] {
    if (CHistoryFile::Keep(poll, false).problem) std::printf("no history kept\n");
  });
  std::printf("reading the configuration %.3f ms, appending a record %.3f ms, both %.3f ms\n", reading, keeping,
              reading + keeping);
  return 0;
}
