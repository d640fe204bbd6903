#pragma once
#include <cstdint>

// The tick is 100 nanoseconds.
constexpr int64_t kNanosecondsPerTick = 100;
constexpr int64_t kTicksPerMicrosecond = 10;
constexpr int64_t kMicrosecondsPerMillisecond = 1000;
constexpr int64_t kMillisecondsPerSecond = 1000;
constexpr int64_t kSecondsPerMinute = 60;
constexpr int64_t kMinutesPerHour = 60;
constexpr int64_t kHoursPerDay = 24;

constexpr int64_t kSecondsPerHour = kSecondsPerMinute * kMinutesPerHour;
constexpr int64_t kSecondsPerDay = kSecondsPerHour * kHoursPerDay;

constexpr int64_t kTicksPerMillisecond = kTicksPerMicrosecond * kMicrosecondsPerMillisecond;
constexpr int64_t kTicksPerSecond = kTicksPerMillisecond * kMillisecondsPerSecond;
constexpr int64_t kTicksPerMinute = kTicksPerSecond * kSecondsPerMinute;
constexpr int64_t kTicksPerHour = kTicksPerSecond * kSecondsPerHour;
constexpr int64_t kTicksPerDay = kTicksPerSecond * kSecondsPerDay;
