#pragma once
#include <cstdint>

#include "sntp/NtpTimestamp.h"

// The current UTC time as a file time (100-ns ticks since 1601-01-01), as
// precise as the platform reads it: GetSystemTimePreciseAsFileTime where
// the system has it, else GetSystemTimeAsFileTime.
uint64_t PreciseFileTimeNow();

// The same as an NTP timestamp.
CNtpTimestamp PreciseNtpNow();
