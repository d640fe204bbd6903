#include <winsock2.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "res/resource.h"
#include "tests/wine/OtherSettersInPrefix.h"
#include "tests/wine/TimeServers.h"
#include "tests/wine/compare/LogReading.h"
#include "tests/wine/compare/MainDialogRun.h"

namespace {

constexpr DWORD kLogMs = 5000;
// Wine sets nothing, but accepts a change of less than this.
constexpr double kAcceptedChange = 0.5;
constexpr double kLoggedTimeTolerance = 2.0;

// Both clocks show the same time, and the local clock the time it is.
bool ClocksAgreeOnTheTime(const ClockReading& reading) {
  return CClockReader::ShowsItsTime(reading) && reading.server == reading.local;
}

// Against a server that agrees with the local clock, setting the clock
// succeeds; the offset line comes only when the offset is not exactly 0.
// An offset below half a microsecond prints as 0.000000 (or -0.000000)
// under either verdict; any other must have the verdict's sign.
TEST(SynchronizedServer, SynchronizeLogsTheServerAndBothClocksAgreeFromTheNextTick) {
  CMainDialogRun run(TimeServers::kSynchronised);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  ASSERT_NE(compared, L"") << "no start-up compare";

  run.Click(IDC_SYNCHRONIZE);
  const std::wstring log = run.AwaitLogOtherThan(compared, kLogMs);
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const auto lines = MeasuredLinesOf(log);
  ASSERT_TRUE(lines && (lines->size() == 2 || lines->size() == 3)) << "log: " << log;
  EXPECT_EQ(lines->front(), L"Time server : 127.0.0.2");
  if (lines->size() == 3) {
    const std::wstring& line = (*lines)[1];
    const auto faster = OffsetIn(line, L"Local time is faster than Server time");
    const auto slower = OffsetIn(line, L"Local time is slower than Server time");
    ASSERT_TRUE(faster ? *faster <= 0 : slower && *slower >= 0) << "offset line: " << line;
    EXPECT_LT(std::abs(faster ? *faster : *slower), kAcceptedChange);
  }
  const auto time = TimeIn(lines->back(), L"Local time");
  ASSERT_TRUE(time) << "time line: " << lines->back();
  EXPECT_NEAR(SecondsBetween(*time, now), 0.0, kLoggedTimeTolerance);

  const ClockReading reading = run.ReadClocks(ClocksAgreeOnTheTime);
  EXPECT_EQ(reading.local, CClockReader::TextOf(reading.time)) << "the tick did not restart";
  EXPECT_EQ(reading.server, reading.local);
}

// A compare names no other setter of this clock; a Synchronize that set
// it names each that the prefix has, a line each, after what it measured.
TEST(SynchronizedServer, SynchronizeNamesTheOtherSettersOfThisClock) {
  const COtherSettersInPrefix others;
  CMainDialogRun run(TimeServers::kSynchronised);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  ASSERT_NE(compared, L"") << "no start-up compare";
  EXPECT_EQ(compared.find(L"Windows Time"), std::wstring::npos) << compared;

  run.Click(IDC_SYNCHRONIZE);
  const std::wstring log = run.AwaitLogOtherThan(compared, kLogMs);
  EXPECT_NE(log.find(L"Windows Time follows the domain's time and may set this clock again\r\n"
                     L"Hyper-V sets this clock to its host's time and may set it again\r\n"
                     L"Secure Time Seeding may set this clock from the times of TLS connections\r\n"),
            std::wstring::npos)
      << log;
}

}  // namespace
