#pragma once
#include "framework/SystemTime.h"

// A calendar record of this date and time; the day of week is left 0.
inline SYSTEMTIME CalendarRecord(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0,
                                 WORD second = 0, WORD milliseconds = 0) {
  SYSTEMTIME record{};
  record.wYear = year;
  record.wMonth = month;
  record.wDay = day;
  record.wHour = hour;
  record.wMinute = minute;
  record.wSecond = second;
  record.wMilliseconds = milliseconds;
  return record;
}
