#include "ticktime/TickSpan.h"

#include <limits>

#include "ticktime/TickUnits.h"

namespace {

// Wide enough for any sum of the seven parts, so that only the total can
// fall outside 64 bits.
using WideTicks = __int128;

WideTicks NanosecondsToTicks(int32_t nanoseconds) {
  const int64_t halfTick = kNanosecondsPerTick / 2;
  const int64_t rounded = nanoseconds >= 0 ? int64_t{nanoseconds} + halfTick
                                           : int64_t{nanoseconds} - halfTick;
  return rounded / kNanosecondsPerTick;
}

bool FitsInt64(WideTicks ticks) {
  return ticks >= std::numeric_limits<int64_t>::min() && ticks <= std::numeric_limits<int64_t>::max();
}

}  // namespace

CTickSpan::CTickSpan() : CTickSpan(TickStatus::Valid, 0) {}

CTickSpan::CTickSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds,
                     int32_t milliseconds, int32_t microseconds, int32_t nanoseconds)
    : CTickSpan() {
  const WideTicks ticks = WideTicks{days} * kTicksPerDay + WideTicks{hours} * kTicksPerHour +
                          WideTicks{minutes} * kTicksPerMinute + WideTicks{seconds} * kTicksPerSecond +
                          WideTicks{milliseconds} * kTicksPerMillisecond +
                          WideTicks{microseconds} * kTicksPerMicrosecond + NanosecondsToTicks(nanoseconds);
  if (FitsInt64(ticks)) {
    m_nTicks = static_cast<int64_t>(ticks);
  } else {
    m_status = TickStatus::Invalid;
  }
}

CTickSpan::CTickSpan(TickStatus status, int64_t ticks) : m_status(status), m_nTicks(ticks) {}

TickStatus CTickSpan::GetStatus() const { return m_status; }

int64_t CTickSpan::GetTicks() const { return m_nTicks; }
