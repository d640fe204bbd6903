#include "tests/wine/ui/Deadline.h"

namespace {
constexpr DWORD kPollMs = 10;
}

CDeadline::CDeadline(DWORD nMilliseconds) : m_nEnd(::GetTickCount64() + nMilliseconds) {}

bool CDeadline::Expired() const {
  return ::GetTickCount64() >= m_nEnd;
}

bool CDeadline::Await(const std::function<bool()>& condition, DWORD nMilliseconds) {
  const CDeadline deadline(nMilliseconds);
  while (!condition()) {
    if (deadline.Expired()) return false;
    ::Sleep(kPollMs);
  }
  return true;
}
