#pragma once
// The platform's calendar record. The host build gets one of the same layout
// so that the plain time logic builds and is tested without Windows.
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>
typedef uint16_t WORD;
typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME;
#endif
