#pragma once
#include <mutex>

#include "framework/SystemTime.h"
#include "ticktime/TickTime.h"

// The time a clock shows. A local clock shows the local time of each tick;
// a server clock shows local time plus the offset it was last given at the
// first tick after it, and then advances one second per tick.
class CClockTime {
public:
  // Safe from any thread: the offset and its flags change as one unit, and
  // the next tick applies the latest offset.
  void SetServerOffset(CTickSpan offset);
  // Runs on the clock's own thread; returns the new shown time.
  const CTickTime& Tick(const SYSTEMTIME& localTime, bool serverClock);
  const CTickTime& GetShownTime() const;
  // Whether a tick has given the clock a time to show: a server clock has
  // none before the first tick after its first offset.
  bool HasTime() const;

private:
  struct OffsetState {
    bool bKnown = false;
    bool bPending = false;
    CTickSpan offset;
  };

  // The hand-over: a copy of the offset state, with pending cleared.
  OffsetState TakeOffset();
  void TickServerClock(const SYSTEMTIME& localTime);

  std::mutex m_offsetMutex;
  OffsetState m_offsetState;
  CTickTime m_shownTime;
  bool m_bHasTime = false;
};
