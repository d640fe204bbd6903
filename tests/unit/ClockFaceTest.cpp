#include "controls/ClockFace.h"
#include "tests/unit/CalendarRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Digits = std::vector<int>;

CTickTime At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  return CTickTime().FromSystemTime(CalendarRecord(year, month, day, hour, minute, second));
}

Digits DigitsOf(const CClockFace& face) {
  Digits digits;
  for (int cell = 0; cell < CClockFace::kCellCount; ++cell) digits.push_back(face.GetDigit(cell));
  return digits;
}

Digits Rendered(const CTickTime& time, int dateOrder) {
  CClockFace face;
  face.SetDateOrder(dateOrder);
  face.RenderDigits(time);
  return DigitsOf(face);
}

struct Box {
  int left, top, right, bottom;  // right and bottom excluded
  bool Overlaps(const Box& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

Box BoxOf(const CClockFace::Placement& cell) {
  return {cell.x, cell.y, cell.x + cell.width, cell.y + cell.height};
}

// A box of the 100 % face at a scale, as the images draw it: its corner and
// its size scaled each.
Box Scaled(const Box& box, int percent) {
  const int left = CClockFace::Scaled(box.left, percent);
  const int top = CClockFace::Scaled(box.top, percent);
  return {left, top, left + CClockFace::Scaled(box.right - box.left, percent),
          top + CClockFace::Scaled(box.bottom - box.top, percent)};
}

// The 100 % face image: inside its frame, and its separators, which no
// cell may cover.
constexpr int kFaceWidth = 151;
constexpr int kFaceHeight = 72;
constexpr Box kSeparators[] = {
    {65, 12, 71, 15}, {108, 12, 114, 15}, {59, 41, 62, 44}, {59, 57, 62, 60}};

}  // namespace

TEST(ClockFace, NewFaceShowsZeroInEveryCell) {
  EXPECT_EQ(DigitsOf(CClockFace()), Digits(CClockFace::kCellCount, 0));
}

TEST(ClockFace, TimeAndDateGoToTheirCellsInEitherDateOrder) {
  const CTickTime time = At(2007, 3, 15, 12, 34, 56);
  EXPECT_EQ(Rendered(time, 0), (Digits{1, 2, 3, 4, 5, 6, 2, 0, 0, 7, 0, 3, 1, 5}));
  EXPECT_EQ(Rendered(time, 1), (Digits{1, 2, 3, 4, 5, 6, 2, 0, 0, 7, 1, 5, 0, 3}));
  // Only 1 swaps day and month.
  EXPECT_EQ(Rendered(time, 2), Rendered(time, 0));
  EXPECT_EQ(Rendered(At(1601, 1, 1, 0, 0, 0), 0),
            (Digits{0, 0, 0, 0, 0, 0, 1, 6, 0, 1, 0, 1, 0, 1}));
  EXPECT_EQ(Rendered(At(9999, 12, 31, 23, 59, 59), 0),
            (Digits{2, 3, 5, 9, 5, 9, 9, 9, 9, 9, 1, 2, 3, 1}));
}

TEST(ClockFace, CellsWithoutADigitAreBlank) {
  // Every field of an Invalid time is -1: "-1:-1:-1" and "-1--1--001".
  const CTickTime invalid = At(2007, 13, 1, 0, 0, 0);
  ASSERT_EQ(invalid.GetStatus(), TickStatus::Invalid);
  const int blank = CClockFace::kBlank;
  EXPECT_EQ(Rendered(invalid, 0),
            (Digits{blank, 1, blank, 1, blank, 1, blank, 0, 0, 1, blank, 1, blank, 1}));

  // About 1640 years before 1601: the year is negative and its sign has no cell.
  const CTickTime beforeYearZero = CTickTime() + CTickSpan(-600000, 0, 0, 0, 0, 0, 0);
  ASSERT_LT(beforeYearZero.GetYear(), 0);
  const Digits digits = Rendered(beforeYearZero, 0);
  EXPECT_EQ(digits[6], CClockFace::kBlank);
  for (int cell = 7; cell < CClockFace::kCellCount; ++cell) EXPECT_LT(digits[cell], 10) << cell;
}

TEST(ClockFace, CellsLieInsideTheFrameClearOfSeparatorsAndEachOtherAtEveryScale) {
  for (const int percent : CClockFace::kScales) {
    const int frame = std::max(1, CClockFace::Scaled(1, percent));
    const Box inside{frame, frame, CClockFace::Scaled(kFaceWidth, percent) - frame,
                     CClockFace::Scaled(kFaceHeight, percent) - frame};
    for (int i = 0; i < CClockFace::kCellCount; ++i) {
      const Box cell = BoxOf(CClockFace::PlaceOf(i, percent));
      SCOPED_TRACE(testing::Message() << percent << " %, cell " << i);
      EXPECT_TRUE(cell.left >= inside.left && cell.top >= inside.top && cell.right <= inside.right &&
                  cell.bottom <= inside.bottom);
      for (const Box& separator : kSeparators) EXPECT_FALSE(cell.Overlaps(Scaled(separator, percent)));
      for (int j = i + 1; j < CClockFace::kCellCount; ++j) {
        EXPECT_FALSE(cell.Overlaps(BoxOf(CClockFace::PlaceOf(j, percent)))) << j;
      }
    }
  }
}

// The largest scale not above the DPI's: an image is never stretched.
TEST(ClockFace, EachDpiTakesTheLargestScaleNotAboveIt) {
  const std::pair<unsigned, int> expected[] = {{72, 100}, {96, 100}, {119, 100}, {120, 125}, {144, 150},
                                               {168, 175}, {191, 175}, {192, 200}, {240, 250}, {288, 300},
                                               {480, 300}};
  for (const auto& [dpi, percent] : expected) {
    EXPECT_EQ(CClockFace::kScales[CClockFace::ScaleIndexFor(dpi)], percent) << dpi << " DPI";
  }
}
