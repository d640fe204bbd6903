#include "ticktime/BrokenDownTime.h"

#include "ticktime/CheckedInt64.h"
#include "ticktime/TickUnits.h"

namespace {

constexpr int32_t kMaxYear = 29000;
constexpr int32_t kMonthsPerYear = 12;
constexpr int32_t kFebruary = 2;
constexpr int32_t kMaxDaysPerMonth = 31;

// Days of a non-leap year up to the end of month m (entry m, 0..12).
constexpr int32_t kDaysToEndOfMonth[kMonthsPerYear + 1] = {
    0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

constexpr int64_t kDaysPerYear = 365;
constexpr int64_t kDaysPer4Years = 1461;
constexpr int64_t kDaysPerCentury = 36524;  // a century without a leap first year
constexpr int64_t kDaysPer400Years = 146097;
constexpr int64_t kYearsPer400Years = 400;
constexpr int64_t kYearsPerCentury = 100;
constexpr int64_t kYearsPer4Years = 4;

// Day number of 1601-01-01; day 0 is 0000-01-01.
constexpr int64_t kEpochDayNumber = 584754;

// Day of a leap year, counted from 0, that is 29 February.
constexpr int64_t kLeapDayOfYear = 59;

bool IsLeapYear(int64_t year) {
  return year % kYearsPer4Years == 0 &&
         (year % kYearsPerCentury != 0 || year % kYearsPer400Years == 0);
}

// Divisions truncate, as the calendar rule is defined; exact for year >= 0.
int64_t DayNumber(int64_t year, int32_t month, int64_t day) {
  const int64_t number = kDaysPerYear * year + year / kYearsPer4Years -
                         year / kYearsPerCentury + year / kYearsPer400Years +
                         kDaysToEndOfMonth[month - 1] + day;
  return IsLeapYear(year) && month <= kFebruary ? number - 1 : number;
}

// Moves whole units of `lower` into `upper`, keeping the remainder.
void Carry(int64_t& lower, int64_t& upper, int64_t lowerPerUpper) {
  upper += lower / lowerPerUpper;
  lower %= lowerPerUpper;
}

struct FloorQuotient {
  int64_t quotient;
  int64_t remainder;  // 0..divisor-1
};

FloorQuotient FloorDivide(int64_t dividend, int64_t divisor) {
  FloorQuotient result{dividend / divisor, dividend % divisor};
  if (result.remainder < 0) {
    --result.quotient;
    result.remainder += divisor;
  }
  return result;
}

// dayOfYear counts from 0, leap day included when leapYear.
void SetMonthAndDay(BrokenDownTime& time, int64_t dayOfYear, bool leapYear) {
  if (leapYear) {
    if (dayOfYear == kLeapDayOfYear) {
      time.month = kFebruary;
      time.day = static_cast<int32_t>(kLeapDayOfYear + 1 - kDaysToEndOfMonth[kFebruary - 1]);
      return;
    }
    if (dayOfYear > kLeapDayOfYear) --dayOfYear;
  }
  const int32_t day = static_cast<int32_t>(dayOfYear + 1);
  int32_t month = day / (kMaxDaysPerMonth + 1) + 1;
  while (day > kDaysToEndOfMonth[month]) ++month;
  time.month = month;
  time.day = day - kDaysToEndOfMonth[month - 1];
}

void SetDate(BrokenDownTime& time, int64_t dayNumber) {
  const FloorQuotient blocks = FloorDivide(dayNumber, kDaysPer400Years);
  int64_t day = blocks.remainder;
  // The first century of a 400-year block is one day longer.
  const int64_t century = (day - 1) / kDaysPerCentury;
  int64_t group;
  bool groupStartsLeap;
  if (century != 0) {
    day = (day - 1) % kDaysPerCentury;
    // The first 4-year group of such a century is one day shorter.
    group = (day + 1) / kDaysPer4Years;
    groupStartsLeap = group != 0;
    if (groupStartsLeap) day = (day + 1) % kDaysPer4Years;
  } else {
    group = day / kDaysPer4Years;
    day %= kDaysPer4Years;
    groupStartsLeap = true;
  }
  int64_t yearInGroup;
  if (groupStartsLeap) {
    yearInGroup = (day - 1) / kDaysPerYear;
    if (yearInGroup != 0) day = (day - 1) % kDaysPerYear;
  } else {
    yearInGroup = day / kDaysPerYear;
    day %= kDaysPerYear;
  }
  time.year = static_cast<int32_t>(kYearsPer400Years * blocks.quotient +
                                   kYearsPerCentury * century + kYearsPer4Years * group +
                                   yearInGroup);
  SetMonthAndDay(time, day, groupStartsLeap && yearInGroup == 0);
}

void SetTimeOfDay(BrokenDownTime& time, int64_t secondOfDay, int64_t ticksInSecond) {
  time.hour = static_cast<int32_t>(secondOfDay / kSecondsPerHour);
  time.minute = static_cast<int32_t>(secondOfDay / kSecondsPerMinute % kMinutesPerHour);
  time.second = static_cast<int32_t>(secondOfDay % kSecondsPerMinute);
  const int64_t microseconds = ticksInSecond / kTicksPerMicrosecond;
  time.millisecond = static_cast<int32_t>(microseconds / kMicrosecondsPerMillisecond);
  time.microsecond = static_cast<int32_t>(microseconds % kMicrosecondsPerMillisecond);
  time.nanosecond = static_cast<int32_t>(ticksInSecond % kTicksPerMicrosecond * kNanosecondsPerTick);
}

}  // namespace

bool ComposeTicks(const BrokenDownTime& time, int64_t& ticks) {
  if (time.year > kMaxYear || time.year < -kMaxYear || time.month < 1 ||
      time.month > kMonthsPerYear) {
    return false;
  }
  int64_t units = (time.nanosecond + kNanosecondsPerTick / 2) / kNanosecondsPerTick;
  int64_t microsecond = time.microsecond;
  int64_t millisecond = time.millisecond;
  int64_t second = time.second;
  int64_t minute = time.minute;
  int64_t hour = time.hour;
  int64_t day = time.day;
  Carry(units, microsecond, kTicksPerMicrosecond);
  Carry(microsecond, millisecond, kMicrosecondsPerMillisecond);
  Carry(millisecond, second, kMillisecondsPerSecond);
  Carry(second, minute, kSecondsPerMinute);
  Carry(minute, hour, kMinutesPerHour);
  Carry(hour, day, kHoursPerDay);

  const int64_t seconds = (DayNumber(time.year, time.month, day) - kEpochDayNumber) * kSecondsPerDay +
                          hour * kSecondsPerHour + minute * kSecondsPerMinute + second;
  int64_t result = (millisecond * kMicrosecondsPerMillisecond + microsecond) * kTicksPerMicrosecond + units;
  if (!CheckedAccumulate(result, seconds, kTicksPerSecond)) return false;
  ticks = result;
  return true;
}

BrokenDownTime DecomposeTicks(int64_t ticks) {
  BrokenDownTime time{};
  const FloorQuotient seconds = FloorDivide(ticks, kTicksPerSecond);
  const FloorQuotient days = FloorDivide(seconds.quotient, kSecondsPerDay);
  SetDate(time, days.quotient + kEpochDayNumber);
  SetTimeOfDay(time, days.remainder, seconds.remainder);
  return time;
}
