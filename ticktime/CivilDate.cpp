#include "ticktime/CivilDate.h"

#include <algorithm>

#include "ticktime/FloorDivision.h"

namespace {

constexpr int32_t kFebruary = 2;

// Days of a non-leap year up to the end of month m (entry m, 0..12).
constexpr int32_t kDaysToEndOfMonth[kMonthsPerYear + 1] = {
    0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

constexpr int64_t kDaysPerYear = 365;
constexpr int64_t kDaysPer4Years = 1461;
constexpr int64_t kDaysPerCentury = 36524;  // a century without its last leap day
constexpr int64_t kDaysPer400Years = 146097;
constexpr int64_t kYearsPer400Years = 400;
constexpr int64_t kYearsPerCentury = 100;
constexpr int64_t kYearsPer4Years = 4;

// Counted from 1 March, a year ends with its leap day, and so does each
// block of years: only the last year of 4, the last 4 years of a century
// and the last century of 400 years can be one day longer.
constexpr int64_t kDayNumberOfMarchOfYear0 = 60;
constexpr int64_t kLastYearOf4 = 3;
constexpr int64_t kLast4YearsOfCentury = 24;
constexpr int64_t kLastCenturyOf400 = 3;

// From 1 March the months run 31, 30, 31, 30, 31 days and again: month m
// (0 = March .. 11 = February) starts (153 m + 2) / 5 days after 1 March.
constexpr int64_t kDaysPer5Months = 153;
constexpr int64_t kMonthsPer5Months = 5;
constexpr int32_t kMarchBasedJanuary = 10;
constexpr int32_t kMarch = 3;

bool IsLeapYear(int64_t year) {
  return year % kYearsPer4Years == 0 &&
         (year % kYearsPerCentury != 0 || year % kYearsPer400Years == 0);
}

// Whole cycles of cycleDays in day, at most lastCycle (the last one may be a
// day longer); day keeps the rest.
int64_t TakeCycles(int64_t& day, int64_t cycleDays, int64_t lastCycle) {
  const int64_t cycles = std::min(day / cycleDays, lastCycle);
  day -= cycles * cycleDays;
  return cycles;
}

int64_t DaysBeforeMarchBasedMonth(int64_t month) {
  return (kDaysPer5Months * month + 2) / kMonthsPer5Months;
}

}  // namespace

int64_t DayNumberOf(int32_t year, int32_t month, int64_t day) {
  const FloorQuotient months = FloorDivide(month - 1, kMonthsPerYear);
  const int64_t wholeYear = year + months.quotient;
  const int64_t monthOfYear = months.remainder + 1;
  const int64_t number = kDaysPerYear * wholeYear + wholeYear / kYearsPer4Years -
                         wholeYear / kYearsPerCentury + wholeYear / kYearsPer400Years +
                         kDaysToEndOfMonth[monthOfYear - 1] + day;
  return IsLeapYear(wholeYear) && monthOfYear <= kFebruary ? number - 1 : number;
}

CivilDate CivilDateOf(int64_t dayNumber) {
  const FloorQuotient blocks = FloorDivide(dayNumber - kDayNumberOfMarchOfYear0, kDaysPer400Years);
  int64_t day = blocks.remainder;
  const int64_t centuries = TakeCycles(day, kDaysPerCentury, kLastCenturyOf400);
  const int64_t groups = TakeCycles(day, kDaysPer4Years, kLast4YearsOfCentury);
  const int64_t years = TakeCycles(day, kDaysPerYear, kLastYearOf4);
  const int64_t month = (kMonthsPer5Months * day + 2) / kDaysPer5Months;
  const bool nextYear = month >= kMarchBasedJanuary;
  const int64_t year = kYearsPer400Years * blocks.quotient + kYearsPerCentury * centuries +
                       kYearsPer4Years * groups + years + (nextYear ? 1 : 0);
  return {static_cast<int32_t>(year),
          static_cast<int32_t>(nextYear ? month - kMarchBasedJanuary + 1 : month + kMarch),
          static_cast<int32_t>(day - DaysBeforeMarchBasedMonth(month) + 1)};
}
