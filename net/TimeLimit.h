#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>

// A moment that a wait must not pass, on the monotonic clock.
class CTimeLimit {
public:
  using Clock = std::chrono::steady_clock;

  // This many milliseconds from now.
  explicit CTimeLimit(uint32_t milliseconds) : m_end(Clock::now() + std::chrono::milliseconds(milliseconds)) {}
  // This many milliseconds from now, or the outer limit if that comes first:
  // a step's own time within the time of the whole.
  CTimeLimit(uint32_t milliseconds, const CTimeLimit& outer) : CTimeLimit(milliseconds) {
    m_end = std::min(m_end, outer.m_end);
  }

  // What is left, rounded up to whole milliseconds; 0 once passed.
  uint32_t MillisecondsLeft() const { return MillisecondsUntil(m_end); }

  static uint32_t MillisecondsUntil(Clock::time_point moment) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(moment - Clock::now());
    return static_cast<uint32_t>(std::max<Clock::rep>(left.count(), 0));
  }

private:
  Clock::time_point m_end;
};
