#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "ticktime/BrokenDownTime.h"

namespace {

constexpr int64_t kTicksPerDay = 864'000'000'000;
constexpr int64_t kDaysFromYear0To1601 = 584'754;

using Fields = std::array<int32_t, 9>;

Fields FieldsOf(const BrokenDownTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond, t.microsecond, t.nanosecond};
}

int64_t Compose(const BrokenDownTime& t) {
  int64_t ticks = -1;
  EXPECT_TRUE(ComposeTicks(t, ticks)) << t.year << "-" << t.month << "-" << t.day;
  return ticks;
}

bool Fails(const BrokenDownTime& t) {
  int64_t ticks = 12345;
  return !ComposeTicks(t, ticks) && ticks == 12345;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  return kDays[month - 1] + (leap && month == 2 ? 1 : 0);
}

}  // namespace

TEST(TickCalendar, KnownInstantsBothWays) {
  const struct {
    BrokenDownTime time;
    int64_t ticks;
  } cases[] = {
      {{1601, 1, 1, 0, 0, 0, 0, 0, 0}, 0},
      {{2000, 1, 1, 0, 0, 0, 0, 0, 0}, 125'911'584'000'000'000},
      {{2000, 2, 29, 0, 0, 0, 0, 0, 0}, 125'962'560'000'000'000},
      {{2007, 3, 15, 12, 34, 56, 789, 0, 0}, 128'184'356'967'890'000},
      {{1600, 12, 31, 23, 59, 59, 999, 999, 900}, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Compose(c.time), c.ticks);
    EXPECT_EQ(FieldsOf(DecomposeTicks(c.ticks)), FieldsOf(c.time));
  }
}

TEST(TickCalendar, OverlongFieldsCarryUpward) {
  EXPECT_EQ(Compose({2007, 2, 30, 0, 0, 0, 0, 0, 0}), 128'172'672'000'000'000);
  EXPECT_EQ(FieldsOf(DecomposeTicks(128'172'672'000'000'000)),
            (Fields{2007, 3, 2, 0, 0, 0, 0, 0, 0}));

  const int64_t newYear = 128'436'192'000'000'000;
  EXPECT_EQ(Compose({2008, 1, 1, 0, 0, 0, 0, 0, 0}), newYear);
  EXPECT_EQ(Compose({2007, 12, 31, 23, 59, 59, 999, 999, 950}), newYear);
  EXPECT_EQ(Compose({2007, 12, 31, 23, 59, 59, 999, 999, 949}), newYear - 1);

  // 65535 minutes are 45 days, 12 hours and 15 minutes.
  EXPECT_EQ(Compose({2000, 1, 1, 0, 65535, 0, 0, 0, 0}), Compose({2000, 2, 15, 12, 15, 0, 0, 0, 0}));
  const BrokenDownTime allMax{29000, 12, 65535, 65535, 65535, 65535, 65535, 65535, 65535};
  Compose(allMax);
}

TEST(TickCalendar, LeapYears) {
  EXPECT_EQ(Compose({1900, 2, 29, 0, 0, 0, 0, 0, 0}), Compose({1900, 3, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Compose({1900, 3, 1, 0, 0, 0, 0, 0, 0}) - Compose({1900, 2, 28, 0, 0, 0, 0, 0, 0}),
            kTicksPerDay);
  EXPECT_EQ(FieldsOf(DecomposeTicks(Compose({2000, 2, 28, 0, 0, 0, 0, 0, 0}) + kTicksPerDay)),
            (Fields{2000, 2, 29, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(FieldsOf(DecomposeTicks(Compose({2004, 12, 31, 0, 0, 0, 0, 0, 0}))),
            (Fields{2004, 12, 31, 0, 0, 0, 0, 0, 0}));
}

TEST(TickCalendar, RejectsYearMonthOutOfRangeOrBeyond64Bits) {
  EXPECT_TRUE(Fails({2007, 0, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(Fails({2007, 13, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(Fails({29001, 1, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(Fails({-29001, 1, 1, 0, 0, 0, 0, 0, 0}));
  Compose({29000, 12, 31, 23, 59, 59, 999, 999, 999});
  // In range by year, but before the earliest 64-bit tick count.
  EXPECT_TRUE(Fails({-29000, 1, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(Fails({2000, 1, std::numeric_limits<int32_t>::max(), 0, 0, 0, 0, 0, 0}));
}

// Walks the calendar day by day from year 0, so instants before 1601 (negative
// ticks) are covered as well.
TEST(TickCalendar, EveryDayFromYear0To2400RoundTrips) {
  int64_t previous = 0;
  bool first = true;
  for (int year = 0; year <= 2400; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= DaysInMonth(year, month); ++day) {
        const BrokenDownTime time{year, month, day, 23, 59, 59, 999, 0, 0};
        int64_t ticks = 0;
        ASSERT_TRUE(ComposeTicks(time, ticks));
        ASSERT_EQ(FieldsOf(DecomposeTicks(ticks)), FieldsOf(time));
        ASSERT_TRUE(first || ticks - previous == kTicksPerDay) << year << "-" << month << "-" << day;
        previous = ticks;
        first = false;
      }
    }
  }
}

TEST(TickCalendar, AnyTickCountDecomposesIntoFieldRanges) {
  const int64_t samples[] = {std::numeric_limits<int64_t>::min(),
                             std::numeric_limits<int64_t>::min() + 1,
                             -kTicksPerDay * kDaysFromYear0To1601 - 1,
                             -1,
                             std::numeric_limits<int64_t>::max() - 1,
                             std::numeric_limits<int64_t>::max()};
  for (const int64_t ticks : samples) {
    const BrokenDownTime t = DecomposeTicks(ticks);
    const Fields lowest{t.year, 1, 1, 0, 0, 0, 0, 0, 0};
    const Fields highest{t.year, 12, DaysInMonth(t.year, t.month), 23, 59, 59, 999, 999, 900};
    for (size_t i = 0; i < lowest.size(); ++i) {
      EXPECT_TRUE(FieldsOf(t)[i] >= lowest[i] && FieldsOf(t)[i] <= highest[i]) << ticks << " field " << i;
    }
  }
  EXPECT_EQ(FieldsOf(DecomposeTicks(-kTicksPerDay * kDaysFromYear0To1601 - 1)),
            (Fields{-1, 12, 31, 23, 59, 59, 999, 999, 900}));
  EXPECT_EQ(FieldsOf(DecomposeTicks(std::numeric_limits<int64_t>::max())),
            (Fields{30828, 9, 14, 2, 48, 5, 477, 580, 700}));
}
