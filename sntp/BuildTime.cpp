#include "sntp/BuildTime.h"

// Made by CMake from SOURCE_DATE_EPOCH, for this file alone: a new commit
// builds it anew and nothing else.
#include "BuildEpoch.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
// Seconds from 1601-01-01 to 1970-01-01, where SOURCE_DATE_EPOCH counts from.
constexpr uint64_t kFileTimeToUnixSeconds = 11644473600;

}  // namespace

uint64_t BuildFileTime() {
  return (kFileTimeToUnixSeconds + kBuildEpochSeconds) * kTicksPerSecond;
}

// The server's time as a file time is the local clock's moved by the
// difference of the two timestamps, which is right whatever their eras.
bool PredatesBuild(const CNtpTimestamp& serverTime, uint64_t localFileTime) {
  const double secondsFromLocal = serverTime.SecondsSince(CNtpTimestamp::FromFileTime(localFileTime));
  const double secondsFromBuild =
      secondsFromLocal + (static_cast<double>(localFileTime) - static_cast<double>(BuildFileTime())) / kTicksPerSecond;
  return secondsFromBuild < 0;
}
