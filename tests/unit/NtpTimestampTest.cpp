#include "sntp/NtpTimestamp.h"
#include "tests/unit/CalendarRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

CNtpTimestamp At(uint32_t seconds, uint32_t fraction = 0) {
  return CNtpTimestamp(uint64_t{seconds} << 32 | fraction);
}

void ExpectCalendar(const SYSTEMTIME& st, WORD year, WORD month, WORD day, WORD dayOfWeek, WORD hour,
                    WORD minute, WORD second, WORD milliseconds) {
  EXPECT_EQ(st.wYear, year);
  EXPECT_EQ(st.wMonth, month);
  EXPECT_EQ(st.wDay, day);
  EXPECT_EQ(st.wDayOfWeek, dayOfWeek);
  EXPECT_EQ(st.wHour, hour);
  EXPECT_EQ(st.wMinute, minute);
  EXPECT_EQ(st.wSecond, second);
  EXPECT_EQ(st.wMilliseconds, milliseconds);
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

TEST(JulianDay, KnownDates) {
  EXPECT_EQ(DateToJulianDay(1900, 1, 1), 2415021);
  EXPECT_EQ(DateToJulianDay(2000, 1, 1), 2451545);
  EXPECT_EQ(DateToJulianDay(1601, 1, 1), 2305814);
  EXPECT_EQ(DateToJulianDay(1900, 3, 1) - DateToJulianDay(1900, 2, 28), 1);  // 1900 is no leap year
  EXPECT_EQ(DateToJulianDay(2000, 3, 1) - DateToJulianDay(2000, 2, 28), 2);  // 2000 is one
  // A month outside 1..12 runs into the years around.
  EXPECT_EQ(DateToJulianDay(2007, 13, 1), DateToJulianDay(2008, 1, 1));
  EXPECT_EQ(DateToJulianDay(2007, 0, 1), DateToJulianDay(2006, 12, 1));
}

// Walks every day from 1601 to 2400 against a plain day-by-day calendar.
TEST(JulianDay, EveryDayFrom1601To2400RoundTrips) {
  int year = 1601, month = 1, day = 1;
  for (int32_t julianDay = DateToJulianDay(1601, 1, 1); year <= 2400; ++julianDay) {
    uint16_t y = 0, m = 0, d = 0;
    JulianDayToDate(julianDay, y, m, d);
    ASSERT_EQ(y, year) << julianDay;
    ASSERT_EQ(m, month) << julianDay;
    ASSERT_EQ(d, day) << julianDay;
    ASSERT_EQ(DateToJulianDay(y, m, d), julianDay);
    if (++day > DaysInMonth(year, month)) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
  }
}

TEST(NtpTimestamp, FromCalendarKnownValues) {
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(1900, 1, 1)).Value(), 0u);
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(2000, 1, 1)).Value(), 0xBC17C20000000000u);
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(2007, 11, 5, 14, 3, 27, 123)).Value(), 0xCAD9A12F1F7CED91u);
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(2036, 2, 7, 6, 28, 15, 999)).Value(), 0xFFFFFFFFFFBE76C9u);
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(2036, 2, 7, 6, 28, 16)).Seconds(), 0u);  // era wraps
}

TEST(NtpTimestamp, FromCalendarIgnoresDayOfWeek) {
  SYSTEMTIME st = CalendarRecord(2000, 1, 1);
  st.wDayOfWeek = 3;
  EXPECT_EQ(CNtpTimestamp::FromCalendar(st).Value(), 0xBC17C20000000000u);
}

TEST(NtpTimestamp, MillisecondsMapToFractionsAndBack) {
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(1900, 1, 1, 0, 0, 0, 1)).Fraction(), 0x00418937u);
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(1900, 1, 1, 0, 0, 0, 2)).Fraction(), 0x0083126Fu);
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(1900, 1, 1, 0, 0, 0, 500)).Fraction(), 0x80000000u);
  EXPECT_EQ(CNtpTimestamp::FromCalendar(CalendarRecord(1900, 1, 1, 0, 0, 0, 999)).Fraction(), 0xFFBE76C9u);
  for (WORD ms = 0; ms < 1000; ++ms) {
    const CNtpTimestamp t = CNtpTimestamp::FromCalendar(CalendarRecord(2024, 2, 29, 23, 59, 59, ms));
    ASSERT_EQ(t.ToCalendar().wMilliseconds, ms);
    ASSERT_EQ(t.ToCalendar().wSecond, 59);
  }
}

TEST(NtpTimestamp, ToCalendarKnownValues) {
  ExpectCalendar(CNtpTimestamp().ToCalendar(), 1900, 1, 1, 1, 0, 0, 0, 0);
  ExpectCalendar(CNtpTimestamp(0xCAD9A12F1F7CED91u).ToCalendar(), 2007, 11, 5, 1, 14, 3, 27, 123);
  ExpectCalendar(CNtpTimestamp(0xFFFFFFFFFFBE76C9u).ToCalendar(), 2036, 2, 7, 4, 6, 28, 15, 999);
  ExpectCalendar(CNtpTimestamp::FromCalendar(CalendarRecord(2000, 2, 29, 12)).ToCalendar(), 2000, 2, 29, 2, 12, 0, 0, 0);
}

TEST(NtpTimestamp, ToCalendarCarriesARoundedUpSecond) {
  const uint32_t lastSecondOf1999 = CNtpTimestamp::FromCalendar(CalendarRecord(1999, 12, 31, 23, 59, 59)).Seconds();
  ExpectCalendar(At(lastSecondOf1999, 0xFFDF3B63).ToCalendar(), 1999, 12, 31, 5, 23, 59, 59, 999);
  ExpectCalendar(At(lastSecondOf1999, 0xFFDF3B64).ToCalendar(), 2000, 1, 1, 6, 0, 0, 0, 0);
  ExpectCalendar(At(lastSecondOf1999, 0xFFFFFFFF).ToCalendar(), 2000, 1, 1, 6, 0, 0, 0, 0);
  // The last instant of the era wraps to its start, as FromCalendar wraps.
  ExpectCalendar(At(0xFFFFFFFF, 0xFFFFFFFF).ToCalendar(), 1900, 1, 1, 1, 0, 0, 0, 0);
}

TEST(NtpTimestamp, FractionConversions) {
  EXPECT_EQ(FractionToMilliseconds(0), 0);
  EXPECT_EQ(FractionToMilliseconds(0x00418937), 1);
  EXPECT_EQ(FractionToMilliseconds(0x80000000), 500);
  EXPECT_EQ(FractionToMilliseconds(0xFFDF3B63), 999);
  EXPECT_EQ(FractionToMilliseconds(0xFFDF3B64), 1000);
  EXPECT_DOUBLE_EQ(FractionToSeconds(0x80000000), 0.5000000001164153);
  EXPECT_EQ(FractionToSeconds(0xFFFFFFFF), 1.0);
}

TEST(NtpTimestamp, WireFormIsBigEndianSecondsThenFraction) {
  const uint8_t wire[CNtpTimestamp::kWireSize] = {0xCA, 0xD9, 0xA1, 0x2F, 0x1F, 0x7C, 0xED, 0x91};
  uint8_t written[CNtpTimestamp::kWireSize] = {};
  CNtpTimestamp(0xCAD9A12F1F7CED91u).ToWire(written);
  EXPECT_EQ(std::vector<uint8_t>(written, written + 8), std::vector<uint8_t>(wire, wire + 8));
  EXPECT_EQ(CNtpTimestamp::FromWire(wire).Value(), 0xCAD9A12F1F7CED91u);
}

TEST(NtpTimestamp, SecondsSinceIsSigned) {
  const CNtpTimestamp a = At(3155673600u);
  const CNtpTimestamp b = At(3155673601u, 0x80000000);
  EXPECT_EQ(a.SecondsSince(a), 0.0);
  EXPECT_NEAR(a.SecondsSince(b), -1.5, 1e-9);
  EXPECT_NEAR(b.SecondsSince(a), 1.5, 1e-9);
  EXPECT_EQ(a.SecondsSince(At(0x40000000u)), 2081931776.0);  // 66 years
  // Across an era's end: its last second comes one second before the next
  // era's first.
  EXPECT_EQ(CNtpTimestamp().SecondsSince(At(0xFFFFFFFF)), 1.0);
  EXPECT_EQ(At(0xFFFFFFFF).SecondsSince(CNtpTimestamp()), -1.0);
}

TEST(NtpTimestamp, FileTimesAndTheEraNearest) {
  constexpr uint64_t kFileTime2007 = 128'387'450'071'230'000;  // 2007-11-05 14:03:27.123
  EXPECT_EQ(CNtpTimestamp::FromFileTime(kFileTime2007).Value(), 0xCAD9A12F1F7CED91u);
  EXPECT_EQ(CNtpTimestamp::FromFileTime(kFileTime2007 + 5000).Fraction(), 0x1F9DB22Du);  // .1235 s
  ExpectCalendar(CNtpTimestamp(0xCAD9A12F1F7CED91u).ToCalendarNear(kFileTime2007), 2007, 11, 5, 1, 14, 3, 27, 123);

  // 2036-02-07 06:28:16.000 is second 0 again: dated in era 1 near 2036,
  // in era 0 near 1920.
  constexpr uint64_t kFileTime2036 = 137'304'520'960'000'000;
  constexpr uint64_t kFileTime1920 = 100'665'504'000'000'000;
  EXPECT_EQ(CNtpTimestamp::FromFileTime(kFileTime2036).Value(), 0u);
  ExpectCalendar(CNtpTimestamp().ToCalendarNear(kFileTime2036), 2036, 2, 7, 4, 6, 28, 16, 0);
  ExpectCalendar(CNtpTimestamp().ToCalendarNear(kFileTime1920), 1900, 1, 1, 1, 0, 0, 0, 0);
  // A second that rounds up carries across the era's end.
  ExpectCalendar(At(0xFFFFFFFF, 0xFFFFFFFF).ToCalendarNear(kFileTime2036), 2036, 2, 7, 4, 6, 28, 16, 0);
}

TEST(NtpTimestamp, AddSeconds) {
  const CNtpTimestamp t = At(1000);
  EXPECT_EQ(t.AddSeconds(0), t);
  EXPECT_EQ(t.AddSeconds(-0.25), At(999, 0xC0000001));
  EXPECT_EQ(t.AddSeconds(1.5), At(1001, 0x7FFFFFFF));
  EXPECT_EQ(t.AddSeconds(-10.0), At(990));
  EXPECT_EQ(t, At(1000));
  EXPECT_EQ(At(0xFFFFFFFF).AddSeconds(1.0), CNtpTimestamp());  // wraps with the era
  EXPECT_NEAR(t.AddSeconds(-1.75).SecondsSince(t), -1.75, 1e-9);
}
