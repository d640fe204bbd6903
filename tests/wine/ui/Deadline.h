#pragma once
#include <windows.h>

#include <functional>

// A time limit for waiting on the program under test.
class CDeadline {
public:
  explicit CDeadline(DWORD nMilliseconds);

  bool Expired() const;

  // Polls the condition every few milliseconds until it holds or the time
  // is up; whether it held.
  static bool Await(const std::function<bool()>& condition, DWORD nMilliseconds);

private:
  ULONGLONG m_nEnd;
};
