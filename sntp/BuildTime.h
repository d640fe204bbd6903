#pragma once
#include <cstdint>

#include "sntp/NtpTimestamp.h"

// The time the program was built: the time of the last commit of its
// source (SOURCE_DATE_EPOCH), so that one commit always builds the same
// bytes. No genuine time is older than the program that reads it.

// The build time as a file time (100-ns ticks since 1601-01-01 UTC).
uint64_t BuildFileTime();

// Whether the server's time, read in the NTP era nearest the local clock
// (a file time) as the program reads it, is earlier than the build.
bool PredatesBuild(const CNtpTimestamp& serverTime, uint64_t localFileTime);
