#include <gtest/gtest.h>

#include <optional>

#include "res/resource.h"
#include "tests/wine/ui/ClockReader.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/SilentServer.h"

namespace {

constexpr int kSecondsWatched = 4;
constexpr WORD kMidSecondMs = 500;
constexpr wchar_t kZeroClock[] = L"0000-00-00 00:00 00";

// Waits for the middle of the next second, well clear of the tick.
void SleepToMidSecond() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  ::Sleep(1000 + kMidSecondMs - now.wMilliseconds);
}

bool SameSecond(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wSecond == b.wSecond && a.wMinute == b.wMinute && a.wHour == b.wHour;
}

struct Reading {
  SYSTEMTIME time;  // local time while the screen was read
  std::wstring local;
  std::wstring server;
};

class Clocks : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_reader.Loaded()) << "no digit strips in " << m_directory.ProgramPath();
    m_directory.WriteSettings(kSilentServerSettings);
    m_run.emplace(m_directory);
    m_hDialog = m_run->MainWindow();
    ASSERT_NE(m_hDialog, nullptr) << "the dialog did not show";
  }

  // Both clocks, read within one second of local time.
  Reading ReadInMidSecond() {
    const CDialogView dialog(m_hDialog);
    Reading reading;
    SYSTEMTIME after;
    do {
      SleepToMidSecond();
      ::GetLocalTime(&reading.time);
      reading.local = m_reader.Read(dialog.Control(IDC_LOCAL_CLOCK), ClockKind::Local);
      reading.server = m_reader.Read(dialog.Control(IDC_SERVER_CLOCK), ClockKind::Server);
      ::GetLocalTime(&after);
    } while (!SameSecond(reading.time, after));
    return reading;
  }

  CRunDirectory m_directory;
  CClockReader m_reader{m_directory.ProgramPath()};
  std::optional<CProgramRun> m_run;
  HWND m_hDialog = nullptr;
};

SYSTEMTIME SecondBefore(const SYSTEMTIME& time) {
  FILETIME file;
  ::SystemTimeToFileTime(&time, &file);
  ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
  ticks.QuadPart -= 10'000'000;
  file = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME earlier;
  ::FileTimeToSystemTime(&file, &earlier);
  return earlier;
}

// The window comes up on a whole second; its clock must not wait for the
// timer's first tick a second later.
TEST_F(Clocks, ShowTheTimeAsSoonAsTheWindowIsUp) {
  SYSTEMTIME before;
  ::GetLocalTime(&before);
  const std::wstring shown =
      m_reader.Read(CDialogView(m_hDialog).Control(IDC_LOCAL_CLOCK), ClockKind::Local);
  SYSTEMTIME after;
  ::GetLocalTime(&after);
  EXPECT_TRUE(shown == CClockReader::TextOf(SecondBefore(before)) ||
              shown == CClockReader::TextOf(before) || shown == CClockReader::TextOf(after))
      << "shown " << testing::PrintToString(shown);
}

TEST_F(Clocks, ShowLocalTimeEverySecondAndNoServerTimeWithoutAnAnswer) {
  SYSTEMTIME local;
  SYSTEMTIME utc;
  ::GetLocalTime(&local);
  ::GetSystemTime(&utc);
  ASSERT_NE(CClockReader::TextOf(local), CClockReader::TextOf(utc))
      << "local time is UTC: the tests need TZ set to another zone";

  for (int second = 0; second < kSecondsWatched; ++second) {
    const Reading reading = ReadInMidSecond();
    EXPECT_EQ(reading.local, CClockReader::TextOf(reading.time));
    EXPECT_EQ(reading.server, kZeroClock);
  }
}

}  // namespace
