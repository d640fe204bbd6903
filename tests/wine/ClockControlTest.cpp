#include "controls/ClockST.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "res/resource.h"

namespace {

constexpr int kTemplateWidth = 40;
constexpr int kTemplateHeight = 30;
constexpr WORD kMissingImage = 999;
constexpr uint32_t kBlack = 0;

// 32-bit pixels, 0x00RRGGBB, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t& At(int x, int y) { return pixels[y * width + x]; }
  void Paste(const Picture& from, int fromX, int toX, int toY, int w, int h) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) At(toX + x, toY + y) = from.pixels[y * from.width + fromX + x];
    }
  }
  void Fill(int left, int top, int w, int h, uint32_t colour) {
    for (int y = top; y < top + h; ++y) {
      for (int x = left; x < left + w; ++x) At(x, y) = colour;
    }
  }
};

Picture Read(HDC source, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = ::CreateCompatibleDC(source);
  HGDIOBJ displaced = ::SelectObject(memory, dib);
  ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  ::GdiFlush();
  Picture picture{width, height, {}};
  const auto* first = static_cast<const uint32_t*>(bits);
  picture.pixels.assign(first, first + width * height);
  ::SelectObject(memory, displaced);
  ::DeleteDC(memory);
  ::DeleteObject(dib);
  return picture;
}

Picture ReadResource(WORD id) {
  auto image = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP size{};
  ::GetObjectW(image, sizeof size, &size);
  HDC holder = ::CreateCompatibleDC(nullptr);
  HGDIOBJ displaced = ::SelectObject(holder, image);
  Picture picture = Read(holder, size.bmWidth, size.bmHeight);
  ::SelectObject(holder, displaced);
  ::DeleteDC(holder);
  ::DeleteObject(image);
  return picture;
}

// The face with each cell showing its digit of the strips, or black.
Picture Expected(WORD faceId, WORD largeId, WORD smallId, const std::vector<int>& digits) {
  Picture face = ReadResource(faceId);
  const Picture large = ReadResource(largeId);
  const Picture small = ReadResource(smallId);
  for (int i = 0; i < CClockFace::kCellCount; ++i) {
    const CClockFace::Cell& cell = CClockFace::kCells[i];
    const CClockFace::CellSize size = CClockFace::SizeOf(cell.strip);
    if (digits[i] == CClockFace::kBlank) {
      face.Fill(cell.x, cell.y, size.width, size.height, kBlack);
    } else {
      const Picture& strip = cell.strip == CClockFace::Strip::Large ? large : small;
      face.Paste(strip, digits[i] * size.width, cell.x, cell.y, size.width, size.height);
    }
  }
  return face;
}

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME record{};
  record.wYear = year;
  record.wMonth = month;
  record.wDay = day;
  record.wHour = hour;
  record.wMinute = minute;
  record.wSecond = second;
  return record;
}

// A clock bound to an image static of a plain top-level window.
class ClockControl : public ::testing::Test {
protected:
  void SetUp() override {
    m_hParent = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 20, 20,
                                  300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND control = ::CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, 10,
                                     10, kTemplateWidth, kTemplateHeight, m_hParent,
                                     reinterpret_cast<HMENU>(IDC_LOCAL_CLOCK), nullptr, nullptr);
    ASSERT_TRUE(m_clock.SubclassWindow(control));
  }
  void TearDown() override { ::DestroyWindow(m_hParent); }

  SIZE Size() const {
    RECT rect;
    ::GetWindowRect(m_clock.m_hWnd, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
  }
  void Tick(SYSTEMTIME localTime) {
    ::SendMessageW(m_clock.m_hWnd, WM_CLOCK_TICK, reinterpret_cast<WPARAM>(&localTime), 0);
  }
  Picture Screen() {
    ::UpdateWindow(m_clock.m_hWnd);
    const SIZE size = Size();
    HDC dc = ::GetDC(m_clock.m_hWnd);
    Picture picture = Read(dc, size.cx, size.cy);
    ::ReleaseDC(m_clock.m_hWnd, dc);
    return picture;
  }
  void ExpectScreen(const Picture& expected) {
    const Picture screen = Screen();
    ASSERT_EQ(screen.pixels.size(), expected.pixels.size());
    int differing = 0;
    for (size_t i = 0; i < screen.pixels.size(); ++i) differing += screen.pixels[i] != expected.pixels[i];
    EXPECT_EQ(differing, 0);
  }

  HWND m_hParent = nullptr;
  CClockST m_clock;
};

}  // namespace

TEST_F(ClockControl, LoadingTakesTheFaceSizeAndAMissingImageLeavesItBlack) {
  EXPECT_EQ(m_clock.LoadClockImages(kMissingImage, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS, 0), 1);
  EXPECT_EQ(Size().cx, kTemplateWidth);
  EXPECT_EQ(Size().cy, kTemplateHeight);

  EXPECT_EQ(m_clock.LoadClockImages(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS, 0), 0);
  EXPECT_EQ(Size().cx, 151);
  EXPECT_EQ(Size().cy, 72);

  EXPECT_EQ(m_clock.LoadClockImages(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, kMissingImage, 0), 1);
  EXPECT_EQ(Size().cx, 151);
  ::InvalidateRect(m_clock.m_hWnd, nullptr, FALSE);
  const Picture screen = Screen();
  EXPECT_EQ(std::vector<uint32_t>(screen.pixels.size(), kBlack), screen.pixels);
}

TEST_F(ClockControl, LocalClockShowsZerosThenEachTicksTimeAndBlanksAnInvalidOne) {
  ASSERT_EQ(m_clock.LoadClockImages(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS, 0), 0);
  ::InvalidateRect(m_clock.m_hWnd, nullptr, FALSE);
  ExpectScreen(Expected(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS,
                        std::vector<int>(CClockFace::kCellCount, 0)));

  Tick(Local(2007, 3, 15, 12, 34, 56));
  ExpectScreen(Expected(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS,
                        {1, 2, 3, 4, 5, 6, 2, 0, 0, 7, 0, 3, 1, 5}));

  Tick(Local(2007, 13, 15, 12, 34, 56));
  ExpectScreen(Expected(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS,
                        std::vector<int>(CClockFace::kCellCount, CClockFace::kBlank)));
}

TEST_F(ClockControl, ServerClockShowsLocalTimePlusItsOffsetInDateOrderOne) {
  m_clock.m_bServerClock = TRUE;
  ASSERT_EQ(m_clock.LoadClockImages(IDB_SERVER_FACE, IDB_SERVER_LARGE_DIGITS, IDB_SERVER_SMALL_DIGITS, 1), 0);
  m_clock.SetServerOffset(CTickSpan(0, 0, 0, 1, 0, 0, 0));
  Tick(Local(2008, 2, 28, 23, 59, 59));
  ExpectScreen(Expected(IDB_SERVER_FACE, IDB_SERVER_LARGE_DIGITS, IDB_SERVER_SMALL_DIGITS,
                        {0, 0, 0, 0, 0, 0, 2, 0, 0, 8, 2, 9, 0, 2}));
}
