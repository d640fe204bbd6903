#pragma once
#include <cstdint>

#include "sntp/NtpTimestamp.h"

// The current UTC time as a file time (100-ns ticks since 1601-01-01), as
// precise as the platform reads it: GetSystemTimePreciseAsFileTime where
// the system has it, else GetSystemTimeAsFileTime.
uint64_t PreciseFileTimeNow();

// The same as an NTP timestamp.
CNtpTimestamp PreciseNtpNow();

// The precision of the clock those read, in seconds: the file time's 100 ns
// where the system has the precise call, else the 1/64 s tick.
double PreciseClockPrecision();

// The UTC calendar time of an NTP timestamp in the era nearest the local
// clock's (which may be a year off, not 68). The clock is read here, unless
// the caller read it once for several times that must agree.
SYSTEMTIME CalendarNearNow(const CNtpTimestamp& time, uint64_t now = PreciseFileTimeNow());
