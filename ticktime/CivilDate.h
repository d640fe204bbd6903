#pragma once
#include <cstdint>

constexpr int32_t kMonthsPerYear = 12;

// A date of the proleptic Gregorian calendar.
struct CivilDate {
  int32_t year;
  int32_t month;  // 1..12
  int32_t day;    // 1..31
};

// Day numbers count days from 0000-01-01, day 0.

// The day number of a date. Neither the month nor the day is checked: a
// month outside 1..12 runs into the years around, an oversized day into
// the following months. The leap days
// before the year are counted with truncating divisions, which is exact for
// years from 0; a year below 0 that is not a multiple of 4, or is a multiple
// of 100 but not of 400, comes out one day later than CivilDateOf counts it.
int64_t DayNumberOf(int32_t year, int32_t month, int64_t day);

// The date of a day number, for any whose year fits in 32 bits.
CivilDate CivilDateOf(int64_t dayNumber);
