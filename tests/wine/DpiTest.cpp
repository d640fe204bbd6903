// The program in a Wine session at a display scale (tests/dpi/at-dpi sets
// the session's DPI): its clocks take the images of the largest scale not
// above the DPI's, keep the dialog's order and gaps, and read right off the
// screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "res/resource.h"
#include "tests/wine/TimeServers.h"
#include "tests/wine/compare/LogReading.h"
#include "tests/wine/ui/ClockReader.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProgramRun.h"

namespace {

// The clock images' scales in percent, and the 100 % face.
constexpr int kScales[] = {100, 125, 150, 175, 200, 250, 300};
constexpr SIZE kFace{151, 72};
constexpr DWORD kSettleMs = 5000;

int ScaleIndexFor(int dpi) {
  int index = 0;
  while (index + 1 < static_cast<int>(std::size(kScales)) && kScales[index + 1] * 96 <= dpi * 100) ++index;
  return index;
}

int Scaled(int length, int percent) { return (length * percent + 50) / 100; }

int SystemDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

SIZE ClientSize(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return {client.right, client.bottom};
}

bool ClocksShowTheTime(const ClockReading& reading) {
  const auto local = ClockTime(reading.local);
  const auto server = ClockTime(reading.server);
  return CClockReader::ShowsItsTime(reading) && server && std::abs(SecondsBetween(*local, *server)) <= 1.0;
}

}  // namespace

TEST(DisplayScale, ClocksTakeTheirScaleKeepTheLayoutAndReadRight) {
  ::SetProcessDPIAware();  // this process sees the screen as it is
  const int dpi = SystemDpi();
  const int scaleIndex = ScaleIndexFor(dpi);
  const int percent = kScales[scaleIndex];
  SCOPED_TRACE(testing::Message() << dpi << " DPI, clocks at " << percent << " %");

  CRunDirectory directory;
  const std::wstring server = TimeServers::kSynchronised;
  directory.WriteSettings("[sntp]\r\nserver1=" + std::string(server.begin(), server.end()) + "\r\n");
  CProgramRun run(directory);
  const HWND dialog = run.MainWindow();
  ASSERT_NE(dialog, nullptr) << "the dialog did not show";
  const CDialogView view(dialog);

  for (const int clock : {IDC_LOCAL_CLOCK, IDC_SERVER_CLOCK}) {
    const SIZE size = ClientSize(view.Control(clock));
    EXPECT_EQ(size.cx, Scaled(kFace.cx, percent)) << "clock " << clock;
    EXPECT_EQ(size.cy, Scaled(kFace.cy, percent)) << "clock " << clock;
  }

  // The template's order, with a gap between neighbours.
  const auto place = [&](int id) { return view.ControlRect(id); };
  EXPECT_LT(place(IDC_LOCAL_LABEL).bottom, place(IDC_LOCAL_CLOCK).top);
  EXPECT_LT(place(IDC_SERVER_LABEL).bottom, place(IDC_SERVER_CLOCK).top);
  EXPECT_LT(place(IDC_LOCAL_LABEL).right, place(IDC_SERVER_LABEL).left);
  EXPECT_LT(place(IDC_LOCAL_CLOCK).right, place(IDC_SERVER_CLOCK).left);
  for (const int column : {IDC_SERVER_LABEL, IDC_SERVER_CLOCK}) {
    EXPECT_LT(place(column).right, place(IDC_ABOUT).left) << column;
  }
  EXPECT_LT(place(IDC_ABOUT).bottom, place(IDC_COMPARE).top);
  EXPECT_LT(place(IDC_COMPARE).bottom, place(IDC_SYNCHRONIZE).top);
  for (const int above : {IDC_LOCAL_CLOCK, IDC_SERVER_CLOCK, IDC_SYNCHRONIZE}) {
    EXPECT_LT(place(above).bottom, place(IDC_LOG).top) << above;
  }

  const CClockReader reader(directory.ProgramPath(), scaleIndex);
  ASSERT_TRUE(reader.Loaded()) << "no digit strips of that scale";
  const ClockReading reading = reader.AwaitDialogClocks(dialog, ClocksShowTheTime, kSettleMs);
  EXPECT_TRUE(ClocksShowTheTime(reading)) << "at " << CClockReader::TextOf(reading.time) << " the clocks show "
                                          << testing::PrintToString(reading.local) << " and "
                                          << testing::PrintToString(reading.server);
}
