#pragma once
#include <cstdint>

#include "framework/SystemTime.h"
#include "ticktime/BrokenDownTime.h"
#include "ticktime/TickSpan.h"
#include "ticktime/TickStatus.h"

// An instant in 100-nanosecond ticks since 1601-01-01 00:00:00, in the
// calendar and time zone of the record it was made from.
class CTickTime {
 public:
  // Valid, 1601-01-01 00:00:00.
  CTickTime();

  // Valid with the record's ticks (day of week ignored); Invalid with the
  // ticks kept when the record's year or month is out of range.
  CTickTime& FromSystemTime(const SYSTEMTIME& time);

  TickStatus GetStatus() const;
  int64_t GetTicks() const;

  // Calendar fields of the instant; -1 when it is not Valid.
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;

 private:
  CTickTime(TickStatus status, int64_t ticks);

  int GetField(int32_t BrokenDownTime::*field) const;

  friend CTickTime operator+(const CTickTime& time, const CTickSpan& span);

  TickStatus m_status;
  int64_t m_nTicks;
};

// Both give an Invalid result with ticks 0 when either operand is Invalid
// or the result does not fit in 64 bits.
CTickTime operator+(const CTickTime& time, const CTickSpan& span);
CTickSpan operator-(const CTickTime& time, const CTickTime& earlier);
