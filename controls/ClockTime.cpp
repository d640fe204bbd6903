#include "controls/ClockTime.h"

namespace {
const CTickSpan kOneSecond(0, 0, 0, 1, 0, 0, 0);
}

void CClockTime::SetServerOffset(CTickSpan offset) {
  const std::lock_guard<std::mutex> lock(m_offsetMutex);
  m_offsetState.bKnown = true;
  m_offsetState.offset = offset;
  m_offsetState.bPending = true;
}

const CTickTime& CClockTime::Tick(const SYSTEMTIME& localTime, bool serverClock) {
  if (serverClock) {
    TickServerClock(localTime);
  } else {
    m_shownTime.FromSystemTime(localTime);
    m_bHasTime = true;
  }
  return m_shownTime;
}

const CTickTime& CClockTime::GetShownTime() const {
  return m_shownTime;
}

bool CClockTime::HasTime() const {
  return m_bHasTime;
}

CClockTime::OffsetState CClockTime::TakeOffset() {
  const std::lock_guard<std::mutex> lock(m_offsetMutex);
  const OffsetState taken = m_offsetState;
  m_offsetState.bPending = false;
  return taken;
}

void CClockTime::TickServerClock(const SYSTEMTIME& localTime) {
  const OffsetState state = TakeOffset();
  if (!state.bKnown) return;
  m_bHasTime = true;
  if (state.bPending) {
    m_shownTime = CTickTime().FromSystemTime(localTime) + state.offset;
  } else {
    m_shownTime = m_shownTime + kOneSecond;
  }
}
