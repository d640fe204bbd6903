#include "ticktime/TickSpan.h"

#include "ticktime/CheckedInt64.h"
#include "ticktime/TickUnits.h"

namespace {

int64_t NanosecondsToTicks(int32_t nanoseconds) {
  const int64_t halfTick = kNanosecondsPerTick / 2;
  const int64_t rounded = nanoseconds >= 0 ? int64_t{nanoseconds} + halfTick
                                           : int64_t{nanoseconds} - halfTick;
  return rounded / kNanosecondsPerTick;
}

}  // namespace

CTickSpan::CTickSpan() : CTickSpan(TickStatus::Valid, 0) {}

CTickSpan::CTickSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds,
                     int32_t milliseconds, int32_t microseconds, int32_t nanoseconds)
    : CTickSpan() {
  int64_t ticks = NanosecondsToTicks(nanoseconds);
  const bool fits = CheckedAccumulate(ticks, days, kTicksPerDay) &&
                    CheckedAccumulate(ticks, hours, kTicksPerHour) &&
                    CheckedAccumulate(ticks, minutes, kTicksPerMinute) &&
                    CheckedAccumulate(ticks, seconds, kTicksPerSecond) &&
                    CheckedAccumulate(ticks, milliseconds, kTicksPerMillisecond) &&
                    CheckedAccumulate(ticks, microseconds, kTicksPerMicrosecond);
  if (fits) {
    m_nTicks = ticks;
  } else {
    m_status = TickStatus::Invalid;
  }
}

CTickSpan::CTickSpan(TickStatus status, int64_t ticks) : m_status(status), m_nTicks(ticks) {}

TickStatus CTickSpan::GetStatus() const { return m_status; }

int64_t CTickSpan::GetTicks() const { return m_nTicks; }
