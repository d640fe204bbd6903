#pragma once
#include <cstdint>

// A calendar date and time of day, split into its fields.
struct BrokenDownTime {
  int32_t year;
  int32_t month;        // 1..12
  int32_t day;          // 1..31
  int32_t hour;         // 0..23
  int32_t minute;       // 0..59
  int32_t second;       // 0..59
  int32_t millisecond;  // 0..999
  int32_t microsecond;  // 0..999
  int32_t nanosecond;   // 0..999
};

// Calendar to ticks since 1601-01-01 00:00:00. Only year (-29000..29000)
// and month (1..12) are checked; the other fields carry upward, so an
// oversized day runs into the following month. Nanoseconds round to the
// nearest tick. Returns false, leaving ticks untouched, when year or month
// is out of range or the result does not fit in 64 bits.
bool ComposeTicks(const BrokenDownTime& time, int64_t& ticks);

// Ticks to calendar on the proleptic Gregorian calendar; defined for every
// tick count, instants before 1601 included. The nanosecond field holds
// multiples of 100.
BrokenDownTime DecomposeTicks(int64_t ticks);
