#include "sntp/PreciseTime.h"

#include <windows.h>

#include "framework/SystemFunction.h"

namespace {

using FileTimeQuery = VOID(WINAPI*)(LPFILETIME);

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

SYSTEMTIME CalendarNearNow(const CNtpTimestamp& time, uint64_t now) {
  return time.ToCalendarNear(now);
}
