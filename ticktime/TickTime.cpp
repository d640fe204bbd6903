#include "ticktime/TickTime.h"

#include "ticktime/CheckedInt64.h"

namespace {

constexpr int kNoField = -1;

bool BothValid(TickStatus a, TickStatus b) {
  return a == TickStatus::Valid && b == TickStatus::Valid;
}

}  // namespace

CTickTime::CTickTime() : CTickTime(TickStatus::Valid, 0) {}

CTickTime::CTickTime(TickStatus status, int64_t ticks) : m_status(status), m_nTicks(ticks) {}

CTickTime& CTickTime::FromSystemTime(const SYSTEMTIME& time) {
  const BrokenDownTime fields{time.wYear, time.wMonth,  time.wDay,
                              time.wHour, time.wMinute, time.wSecond,
                              time.wMilliseconds, 0, 0};
  m_status = ComposeTicks(fields, m_nTicks) ? TickStatus::Valid : TickStatus::Invalid;
  return *this;
}

TickStatus CTickTime::GetStatus() const { return m_status; }

int64_t CTickTime::GetTicks() const { return m_nTicks; }

int CTickTime::GetYear() const { return GetField(&BrokenDownTime::year); }
int CTickTime::GetMonth() const { return GetField(&BrokenDownTime::month); }
int CTickTime::GetDay() const { return GetField(&BrokenDownTime::day); }
int CTickTime::GetHour() const { return GetField(&BrokenDownTime::hour); }
int CTickTime::GetMinute() const { return GetField(&BrokenDownTime::minute); }
int CTickTime::GetSecond() const { return GetField(&BrokenDownTime::second); }

int CTickTime::GetField(int32_t BrokenDownTime::*field) const {
  if (m_status != TickStatus::Valid) return kNoField;
  return DecomposeTicks(m_nTicks).*field;
}

CTickTime operator+(const CTickTime& time, const CTickSpan& span) {
  int64_t sum;
  if (BothValid(time.GetStatus(), span.GetStatus()) &&
      CheckedAdd(time.GetTicks(), span.GetTicks(), sum)) {
    return CTickTime(TickStatus::Valid, sum);
  }
  return CTickTime(TickStatus::Invalid, 0);
}

CTickSpan operator-(const CTickTime& time, const CTickTime& earlier) {
  int64_t difference;
  if (BothValid(time.GetStatus(), earlier.GetStatus()) &&
      CheckedSubtract(time.GetTicks(), earlier.GetTicks(), difference)) {
    return CTickSpan(TickStatus::Valid, difference);
  }
  return CTickSpan(TickStatus::Invalid, 0);
}
