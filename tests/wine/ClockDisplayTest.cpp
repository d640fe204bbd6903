#include <gtest/gtest.h>

#include <optional>

#include "res/resource.h"
#include "tests/wine/ui/ClockReader.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/SilentServer.h"

namespace {

constexpr int kSecondsWatched = 4;
constexpr wchar_t kZeroClock[] = L"0000-00-00 00:00 00";

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
    const ClockReading reading = m_reader.ReadDialogClocks(m_hDialog);
    EXPECT_EQ(reading.local, CClockReader::TextOf(reading.time));
    EXPECT_EQ(reading.server, kZeroClock);
  }
}

}  // namespace
