#pragma once
#include <cstdint>

#include "ticktime/TickStatus.h"

class CTickTime;

// A signed duration in 100-nanosecond ticks.
class CTickSpan {
 public:
  // Valid, zero length.
  CTickSpan();

  // The parts add whatever their sign or range; nanoseconds round to whole
  // ticks half away from zero. A total beyond 64 bits gives an Invalid span
  // with ticks 0.
  CTickSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds,
            int32_t milliseconds, int32_t microseconds, int32_t nanoseconds);

  TickStatus GetStatus() const;
  int64_t GetTicks() const;

 private:
  CTickSpan(TickStatus status, int64_t ticks);

  friend CTickSpan operator-(const CTickTime& time, const CTickTime& earlier);

  TickStatus m_status;
  int64_t m_nTicks;
};
