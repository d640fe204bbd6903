#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "ticktime/TickTime.h"

namespace {

SYSTEMTIME Record(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0,
                  WORD second = 0, WORD milliseconds = 0) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDayOfWeek = 6;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  time.wMilliseconds = milliseconds;
  return time;
}

CTickTime At(const SYSTEMTIME& record) { return CTickTime().FromSystemTime(record); }

CTickTime InvalidTime() { return At(Record(2007, 13, 1)); }

std::array<int, 6> FieldsOf(const CTickTime& t) {
  return {t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(), t.GetMinute(), t.GetSecond()};
}

void ExpectInvalidZero(TickStatus status, int64_t ticks) {
  EXPECT_EQ(status, TickStatus::Invalid);
  EXPECT_EQ(ticks, 0);
}

}  // namespace

TEST(TickTime, NewValueIsValidEpoch) {
  const CTickTime time;
  EXPECT_EQ(time.GetStatus(), TickStatus::Valid);
  EXPECT_EQ(time.GetTicks(), 0);
  EXPECT_EQ(FieldsOf(time), (std::array<int, 6>{1601, 1, 1, 0, 0, 0}));

  const CTickSpan span;
  EXPECT_EQ(span.GetStatus(), TickStatus::Valid);
  EXPECT_EQ(span.GetTicks(), 0);
}

TEST(TickTime, FromSystemTimeReadsRecordAndAccessorsSplitIt) {
  CTickTime time;
  EXPECT_EQ(&time.FromSystemTime(Record(2007, 3, 15, 12, 34, 56, 789)), &time);
  EXPECT_EQ(time.GetStatus(), TickStatus::Valid);
  EXPECT_EQ(time.GetTicks(), 128'184'356'967'890'000);
  EXPECT_EQ(FieldsOf(time), (std::array<int, 6>{2007, 3, 15, 12, 34, 56}));

  const SYSTEMTIME allMax = Record(29000, 12, 65535, 65535, 65535, 65535, 65535);
  EXPECT_EQ(At(allMax).GetStatus(), TickStatus::Valid);
}

TEST(TickTime, RejectedRecordMakesValueInvalidAndKeepsTicks) {
  for (const SYSTEMTIME& bad : {Record(2007, 0, 1), Record(2007, 13, 1), Record(29001, 1, 1)}) {
    CTickTime time = At(Record(2000, 1, 1));
    time.FromSystemTime(bad);
    EXPECT_EQ(time.GetStatus(), TickStatus::Invalid);
    EXPECT_EQ(time.GetTicks(), 125'911'584'000'000'000);
    EXPECT_EQ(FieldsOf(time), (std::array<int, 6>{-1, -1, -1, -1, -1, -1}));
  }
  EXPECT_EQ(InvalidTime().FromSystemTime(Record(1601, 1, 1)).GetStatus(), TickStatus::Valid);
}

TEST(TickSpan, PartsAddUp) {
  EXPECT_EQ(CTickSpan(0, 0, 0, 1, 0, 0, 0).GetTicks(), 10'000'000);
  EXPECT_EQ(CTickSpan(1, 1, 1, 1, 1, 1, 0).GetTicks(),
            864'000'000'000 + 36'000'000'000 + 600'000'000 + 10'000'000 + 10'000 + 10);
  EXPECT_EQ(CTickSpan(1, -24, 0, 0, 0, 0, 0).GetTicks(), 0);
  EXPECT_EQ(CTickSpan(0, 0, 0, -90, 0, 0, 0).GetTicks(), -900'000'000);
  const CTickSpan wide(0, 0, std::numeric_limits<int32_t>::max(), 0, 0, 0, 0);
  EXPECT_EQ(wide.GetStatus(), TickStatus::Valid);
  EXPECT_EQ(wide.GetTicks(), int64_t{std::numeric_limits<int32_t>::max()} * 600'000'000);
}

TEST(TickSpan, NanosecondsRoundHalfAwayFromZero) {
  EXPECT_EQ(CTickSpan(0, 0, 0, 0, 0, 0, 50).GetTicks(), 1);
  EXPECT_EQ(CTickSpan(0, 0, 0, 0, 0, 0, 49).GetTicks(), 0);
  EXPECT_EQ(CTickSpan(0, 0, 0, 0, 0, 0, -49).GetTicks(), 0);
  EXPECT_EQ(CTickSpan(0, 0, 0, 0, 0, 0, -50).GetTicks(), -1);
  EXPECT_EQ(CTickSpan(0, 0, 0, 0, 0, 0, 150).GetTicks(), 2);
}

TEST(TickSpan, OnlyATotalBeyond64BitsIsInvalid) {
  // The hours alone exceed 64 bits; the days bring the total back.
  const CTickSpan balanced(-10'000'000, 300'000'000, 0, 0, 0, 0, 0);
  EXPECT_EQ(balanced.GetStatus(), TickStatus::Valid);
  EXPECT_EQ(balanced.GetTicks(), 2'160'000'000'000'000'000);

  const int32_t most = std::numeric_limits<int32_t>::max();
  for (const CTickSpan& span : {CTickSpan(most, 0, 0, 0, 0, 0, 0),
                                CTickSpan(-most - 1, 0, 0, 0, 0, 0, 0),
                                CTickSpan(10'675'199, most, 0, 0, 0, 0, 0)}) {
    ExpectInvalidZero(span.GetStatus(), span.GetTicks());
  }
}

TEST(TickArithmetic, SumAndDifferenceOfValidValues) {
  const CTickTime start = At(Record(2007, 12, 31, 23, 59, 30));
  const CTickTime later = start + CTickSpan(0, 0, 0, 45, 0, 0, 0);
  EXPECT_EQ(later.GetStatus(), TickStatus::Valid);
  EXPECT_EQ(later.GetYear(), 2008);
  EXPECT_EQ(later.GetSecond(), 15);
  EXPECT_EQ((later - start).GetTicks(), 450'000'000);
  EXPECT_EQ((start - later).GetTicks(), -450'000'000);
  EXPECT_EQ((start + CTickSpan(0, 0, 0, -1, 0, 0, 0)).GetSecond(), 29);
}

TEST(TickArithmetic, InvalidOperandGivesInvalidZero) {
  const CTickTime valid = At(Record(2007, 3, 15));
  const CTickSpan invalidSpan = InvalidTime() - valid;
  const CTickSpan spans[] = {invalidSpan, valid - InvalidTime(), InvalidTime() - InvalidTime()};
  const CTickTime sums[] = {valid + invalidSpan, InvalidTime() + CTickSpan(1, 0, 0, 0, 0, 0, 0)};
  for (const CTickSpan& span : spans) ExpectInvalidZero(span.GetStatus(), span.GetTicks());
  for (const CTickTime& sum : sums) ExpectInvalidZero(sum.GetStatus(), sum.GetTicks());
}

TEST(TickArithmetic, ResultBeyond64BitsIsInvalid) {
  const CTickTime late = At(Record(29000, 12, 31));
  const CTickTime overflowed = late + CTickSpan(10'000'000, 0, 0, 0, 0, 0, 0);
  ExpectInvalidZero(overflowed.GetStatus(), overflowed.GetTicks());

  const CTickTime veryEarly = CTickTime() + CTickSpan(-10'000'000, 0, 0, 0, 0, 0, 0);
  ASSERT_EQ(veryEarly.GetStatus(), TickStatus::Valid);
  const CTickSpan tooLong = late - veryEarly;
  ExpectInvalidZero(tooLong.GetStatus(), tooLong.GetTicks());
}
