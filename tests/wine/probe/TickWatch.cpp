#include "tests/wine/probe/TickWatch.h"

#include <cstdio>

namespace {
constexpr DWORD kPollMs = 2;
// Polling starts this long before each whole second, so that an early
// change is seen too.
constexpr int kLeadMs = 100;
constexpr int kSecondMs = 1000;
constexpr LONGLONG kFileTimeUnitsPerSecond = 10000000;

// Seconds since 1601 of a clock text, or -1 when it is no time.
LONGLONG SecondsOf(const std::wstring& text) {
  SYSTEMTIME time{};
  if (std::swscanf(text.c_str(), L"%4hu-%2hu-%2hu %2hu:%2hu %2hu", &time.wYear, &time.wMonth, &time.wDay,
                   &time.wHour, &time.wMinute, &time.wSecond) != 6) {
    return -1;
  }
  FILETIME file{};
  if (!::SystemTimeToFileTime(&time, &file)) return -1;
  ULARGE_INTEGER ticks{};
  ticks.LowPart = file.dwLowDateTime;
  ticks.HighPart = file.dwHighDateTime;
  return static_cast<LONGLONG>(ticks.QuadPart / kFileTimeUnitsPerSecond);
}

// Milliseconds from the whole second nearest before or after the moment.
int PhaseMs(const SYSTEMTIME& moment) {
  const int ms = moment.wMilliseconds;
  return ms < kSecondMs - kLeadMs ? ms : ms - kSecondMs;
}

void SleepUntilLead() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const int untilLead = kSecondMs - kLeadMs - now.wMilliseconds;
  if (untilLead > 0) ::Sleep(untilLead);
}
}  // namespace

CTickWatch::CTickWatch(HWND hClock, const CClockReader& reader) : m_hClock(hClock), m_reader(reader) {}

CTickWatch::Result CTickWatch::Watch(DWORD nSeconds) {
  Result result;
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(nSeconds) * kSecondMs;
  Change shown{Read(), ::GetTickCount64()};
  while (::GetTickCount64() < end) {
    SleepUntilLead();
    const SYSTEMTIME moment = AwaitChange(shown.text, end);
    const Change change{Read(), ::GetTickCount64()};
    if (change.text == shown.text) break;
    result.arrPhasesMs.push_back(PhaseMs(moment));
    Count(shown, change, result);
    shown = change;
  }
  return result;
}

std::wstring CTickWatch::Read() const {
  return m_reader.Read(m_hClock, ClockKind::Local);
}

SYSTEMTIME CTickWatch::AwaitChange(const std::wstring& shown, ULONGLONG nGiveUpTick) const {
  while (Read() == shown && ::GetTickCount64() < nGiveUpTick) ::Sleep(kPollMs);
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return now;
}

// A step of the clock's seconds, and the time the earlier text stayed.
void CTickWatch::Count(const Change& before, const Change& after, Result& result) {
  if (after.text.find(CDigitStrip::kUnknown) != std::wstring::npos) ++result.nUnreadable;
  const LONGLONG from = SecondsOf(before.text);
  const LONGLONG to = SecondsOf(after.text);
  if (from < 0 || to < 0) return;
  ++result.nSteps;
  if (to <= from) ++result.nRepeated;
  if (to > from + 1) result.nSkipped += static_cast<int>(to - from - 1);
  const auto secondsShown = static_cast<int>((after.nTick - before.nTick + kSecondMs / 2) / kSecondMs);
  if (secondsShown > 1) result.nRepeated += secondsShown - 1;
}
