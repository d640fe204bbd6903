#include "sntp/PreciseTime.h"

#include <windows.h>

#include "framework/SystemFunction.h"

namespace {

using FileTimeQuery = VOID(WINAPI*)(LPFILETIME);

constexpr double kFileTimeUnit = 1e-7;
// The system's tick, which the plain call's time advances by.
constexpr double kTick = 1.0 / 64;

// Looked up at run time: systems before Windows 8 lack the precise call.
FileTimeQuery SystemTimeQuery() {
  static const FileTimeQuery query = [] {
    const auto precise = SystemFunction<FileTimeQuery>(L"kernel32.dll", "GetSystemTimePreciseAsFileTime");
    return precise ? precise : ::GetSystemTimeAsFileTime;
  }();
  return query;
}

}  // namespace

uint64_t PreciseFileTimeNow() {
  FILETIME now;
  SystemTimeQuery()(&now);
  return static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

CNtpTimestamp PreciseNtpNow() {
  return CNtpTimestamp::FromFileTime(PreciseFileTimeNow());
}

double PreciseClockPrecision() {
  return SystemTimeQuery() == ::GetSystemTimeAsFileTime ? kTick : kFileTimeUnit;
}

SYSTEMTIME CalendarNearNow(const CNtpTimestamp& time, uint64_t now) {
  return time.ToCalendarNear(now);
}
