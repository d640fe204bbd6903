#include <gtest/gtest.h>

#include <optional>

#include "res/resource.h"
#include "tests/wine/compare/LogReading.h"
#include "tests/wine/ui/AccessibleReading.h"
#include "tests/wine/ui/ClockReader.h"
#include "tests/wine/ui/Deadline.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/SilentServer.h"

namespace {

constexpr int kSecondsWatched = 4;
constexpr wchar_t kZeroClock[] = L"0000-00-00 00:00 00";
// However busy the machine, the clock shows its time within this.
constexpr DWORD kSettleMs = 5000;
// How old the time of the first tick may be when the window is first read.
constexpr double kFirstTickAgeSeconds = 3.0;
constexpr int kSpokenPartChars = 128;

// The local time now as the user's long date and time formats put it.
std::wstring SpokenNow() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  wchar_t date[kSpokenPartChars] = {};
  wchar_t clock[kSpokenPartChars] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, date, kSpokenPartChars);
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, clock, kSpokenPartChars);
  return std::wstring(date) + L" " + clock;
}

class Clocks : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_reader.Loaded()) << "no digit strips in " << m_directory.ProgramPath();
    m_directory.WriteSettings(kSilentServerSettings);
    m_run.emplace(m_directory);
    m_hDialog = m_run->MainWindow();
    ASSERT_NE(m_hDialog, nullptr) << "the dialog did not show";
  }

  CRunDirectory m_directory;
  CClockReader m_reader{m_directory.ProgramPath()};
  std::optional<CProgramRun> m_run;
  HWND m_hDialog = nullptr;
};

// The window comes up on a whole second; its clock must not wait for the
// timer's first tick a second later.
TEST_F(Clocks, ShowTheTimeAsSoonAsTheWindowIsUp) {
  const std::wstring shown =
      m_reader.Read(CDialogView(m_hDialog).Control(IDC_LOCAL_CLOCK), ClockKind::Local);
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  now.wMilliseconds = 0;
  const std::optional<SYSTEMTIME> time = ClockTime(shown);
  ASSERT_TRUE(time) << "shown " << testing::PrintToString(shown);
  const double age = SecondsBetween(*time, now);
  EXPECT_GE(age, 0.0) << testing::PrintToString(shown);
  EXPECT_LE(age, kFirstTickAgeSeconds) << testing::PrintToString(shown);
}

TEST_F(Clocks, ShowLocalTimeEverySecondAndNoServerTimeWithoutAnAnswer) {
  SYSTEMTIME local;
  SYSTEMTIME utc;
  ::GetLocalTime(&local);
  ::GetSystemTime(&utc);
  ASSERT_NE(CClockReader::TextOf(local), CClockReader::TextOf(utc))
      << "local time is UTC: the tests need TZ set to another zone";

  std::wstring last;
  for (int second = 0; second < kSecondsWatched; ++second) {
    const ClockReading reading = m_reader.AwaitDialogClocks(
        m_hDialog, [&](const ClockReading& r) { return CClockReader::ShowsItsTime(r) && r.local != last; },
        kSettleMs);
    EXPECT_EQ(reading.local, CClockReader::TextOf(reading.time)) << "the local clock stood still or is wrong";
    EXPECT_EQ(reading.server, kZeroClock);
    last = reading.local;
  }
}

// As a screen reader reads the window: each clock by its label, with the
// time it shows as its value, and the log box by a name of its own.
TEST_F(Clocks, ReadOutTheirLabelsAndTimesAndNoServerTimeWithoutAnAnswer) {
  const CDialogView dialog(m_hDialog);
  const HWND local = dialog.Control(IDC_LOCAL_CLOCK);
  const AccessibleReading server = ReadAccessible(dialog.Control(IDC_SERVER_CLOCK));
  EXPECT_EQ(server.name, L"Server time");
  EXPECT_EQ(server.value, L"Not known yet");
  EXPECT_EQ(ReadAccessible(local).name, L"Local time");
  EXPECT_EQ(ReadAccessible(dialog.Control(IDC_LOG)).name, L"Log");

  std::wstring first;
  const auto readsNow = [&] { return (first = ReadAccessible(local).value) == SpokenNow(); };
  EXPECT_TRUE(CDeadline::Await(readsNow, kSettleMs)) << testing::PrintToString(first);
  const auto readsALaterNow = [&] {
    const std::wstring value = ReadAccessible(local).value;
    return value != first && value == SpokenNow();
  };
  EXPECT_TRUE(CDeadline::Await(readsALaterNow, kSettleMs)) << "the value stood still";
}

}  // namespace
