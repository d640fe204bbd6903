#include "app/SecondTick.h"

namespace {
constexpr UINT kTickPeriodMs = 1000;
}  // namespace

DWORD CSecondTick::MillisecondsToNextSecond() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return kTickPeriodMs - now.wMilliseconds;
}

void CSecondTick::StartOnNextSecond(HWND window) {
  m_hWnd = window;
  ::Sleep(MillisecondsToNextSecond());
  Restart();
}

void CSecondTick::Restart() {
  Stop();
  m_nTimer = ::SetTimer(m_hWnd, kTimerId, kTickPeriodMs, nullptr);
}

void CSecondTick::Stop() {
  if (m_nTimer) ::KillTimer(m_hWnd, m_nTimer);
  m_nTimer = 0;
}

const SYSTEMTIME* CSecondTick::ReadLocalTime() {
  ::GetLocalTime(&m_localTime);
  return &m_localTime;
}
