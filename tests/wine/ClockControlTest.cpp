#include "controls/ClockST.h"

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/wine/ui/ClockReader.h"
#include "tests/unit/CalendarRecord.h"

namespace {

constexpr int kTemplateWidth = 40;
constexpr int kTemplateHeight = 30;
constexpr WORD kMissingImage = 999;
constexpr uint32_t kBlack = 0;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kHighlight = 0xFFFFFF;
// An Invalid time: each field formatted from -1, its minus sign blank.
const std::wstring kInvalidTime = L" 001- 1- 1  1: 1  1";

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  return CalendarRecord(year, month, day, hour, minute, second);
}

std::filesystem::path ThisProgram() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// A clock bound to an image static of a plain top-level window; its digits
// are read off the screen against the strips in this program's resources.
class ClockControl : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_reader.Loaded());
    m_hParent = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 20, 20,
                                  300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND control = ::CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, 10,
                                     10, kTemplateWidth, kTemplateHeight, m_hParent, nullptr,
                                     nullptr, nullptr);
    ASSERT_TRUE(m_clock.SubclassWindow(control));
  }
  void TearDown() override { ::DestroyWindow(m_hParent); }

  int LoadLocal(WORD smallDigitsId = IDB_LOCAL_SMALL_DIGITS) {
    return m_clock.LoadClockImages(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, smallDigitsId, 0);
  }
  SIZE Size() const {
    RECT rect;
    ::GetWindowRect(m_clock.m_hWnd, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
  }
  void Tick(SYSTEMTIME localTime) {
    ::SendMessageW(m_clock.m_hWnd, WM_CLOCK_TICK, reinterpret_cast<WPARAM>(&localTime), 0);
    ::UpdateWindow(m_clock.m_hWnd);
  }
  void Repaint() { ::RedrawWindow(m_clock.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
  std::wstring Shown(ClockKind kind) const { return m_reader.Read(m_clock.m_hWnd, kind); }

  CClockReader m_reader{ThisProgram()};
  HWND m_hParent = nullptr;
  CClockST m_clock;
};

}  // namespace

TEST_F(ClockControl, LoadingTakesTheFaceSizeOfItsScaleAndAMissingImageLeavesTheControlBlack) {
  EXPECT_EQ(m_clock.LoadClockImages(kMissingImage, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS, 0), 1);
  EXPECT_EQ(Size().cx, kTemplateWidth);
  EXPECT_EQ(Size().cy, kTemplateHeight);

  EXPECT_EQ(LoadLocal(), 0);
  EXPECT_EQ(Size().cx, 151);
  EXPECT_EQ(Size().cy, 72);
  // On a monitor of 150 %, then 200 %: the faces drawn for those scales.
  EXPECT_EQ(m_clock.SetDpi(144), 0);
  EXPECT_EQ(Size().cx, 227);
  EXPECT_EQ(Size().cy, 108);
  EXPECT_EQ(m_clock.SetDpi(192), 0);
  Tick(Local(2007, 3, 15, 12, 34, 56));
  EXPECT_EQ(CClockReader(ThisProgram(), 4).Read(m_clock.m_hWnd, ClockKind::Local), L"2007-03-15 12:34 56");
  EXPECT_EQ(m_clock.SetDpi(96), 0);
  EXPECT_EQ(Size().cx, 151);

  EXPECT_EQ(LoadLocal(kMissingImage), 1);
  EXPECT_EQ(Size().cx, 151);
  Repaint();
  const CPixelGrid screen = CClockReader::Capture(m_clock.m_hWnd);
  for (int y = 0; y < screen.Height(); ++y) {
    for (int x = 0; x < screen.Width(); ++x) ASSERT_EQ(screen.At(x, y), kBlack) << x << "," << y;
  }
}

TEST_F(ClockControl, LocalClockShowsZerosThenEachTicksTimeAndMinusOneForAnInvalidOne) {
  ASSERT_EQ(LoadLocal(), 0);
  Repaint();
  EXPECT_EQ(Shown(ClockKind::Local), L"0000-00-00 00:00 00");
  const CPixelGrid face = CClockReader::Capture(m_clock.m_hWnd);
  EXPECT_EQ(face.At(0, 0), kShadow);
  EXPECT_EQ(face.At(150, 71), kHighlight);

  Tick(Local(2007, 3, 15, 12, 34, 56));
  EXPECT_EQ(Shown(ClockKind::Local), L"2007-03-15 12:34 56");

  Tick(Local(2007, 13, 15, 12, 34, 56));
  EXPECT_EQ(Shown(ClockKind::Local), kInvalidTime);
}

TEST_F(ClockControl, ServerClockShowsLocalTimePlusItsOffsetInDateOrderOne) {
  m_clock.m_bServerClock = TRUE;
  ASSERT_EQ(m_clock.LoadClockImages(IDB_SERVER_FACE, IDB_SERVER_LARGE_DIGITS,
                                    IDB_SERVER_SMALL_DIGITS, 1), 0);
  Tick(Local(2008, 2, 28, 23, 59, 59));
  EXPECT_EQ(Shown(ClockKind::Server), L"1601-01-01 00:00 00");

  m_clock.SetServerOffset(CTickSpan(0, 0, 0, 1, 0, 0, 0));
  Tick(Local(2008, 2, 28, 23, 59, 59));
  EXPECT_EQ(Shown(ClockKind::Server), L"2008-29-02 00:00 00");
}
