#include "ticktime/BrokenDownTime.h"

#include "ticktime/CheckedInt64.h"
#include "ticktime/CivilDate.h"
#include "ticktime/FloorDivision.h"
#include "ticktime/TickUnits.h"

namespace {

constexpr int32_t kMaxYear = 29000;

// Day number of 1601-01-01.
constexpr int64_t kEpochDayNumber = 584754;

// Moves whole units of `lower` into `upper`, keeping the remainder.
void Carry(int64_t& lower, int64_t& upper, int64_t lowerPerUpper) {
  upper += lower / lowerPerUpper;
  lower %= lowerPerUpper;
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

  const int64_t seconds = (DayNumberOf(time.year, time.month, day) - kEpochDayNumber) * kSecondsPerDay +
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
  const CivilDate date = CivilDateOf(days.quotient + kEpochDayNumber);
  time.year = date.year;
  time.month = date.month;
  time.day = date.day;
  SetTimeOfDay(time, days.remainder, seconds.remainder);
  return time;
}
