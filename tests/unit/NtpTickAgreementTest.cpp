#include <gtest/gtest.h>

#include <cstdint>

#include "sntp/NtpTimestamp.h"
#include "ticktime/TickTime.h"

namespace {

constexpr int64_t kTicksPerMillisecond = 10'000;
constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kTicksPerDay = 86'400 * kTicksPerSecond;
constexpr int32_t kPrimeStride = 7919;  // spreads the time of day over the days

// The date of julianDay at a time of day that differs from day to day.
SYSTEMTIME DayAt(int32_t julianDay) {
  SYSTEMTIME st{};
  JulianDayToDate(julianDay, st.wYear, st.wMonth, st.wDay);
  const int64_t secondOfDay = int64_t{julianDay} * kPrimeStride % 86'400;
  st.wHour = static_cast<WORD>(secondOfDay / 3600);
  st.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
  st.wSecond = static_cast<WORD>(secondOfDay % 60);
  st.wMilliseconds = static_cast<WORD>(julianDay % 1000);
  return st;
}

int64_t TicksOf(const SYSTEMTIME& st) {
  CTickTime time;
  time.FromSystemTime(st);
  EXPECT_EQ(time.GetStatus(), TickStatus::Valid);
  return time.GetTicks();
}

int64_t TimeOfDayTicks(const SYSTEMTIME& st) {
  return ((st.wHour * 60 + st.wMinute) * 60 + st.wSecond) * kTicksPerSecond + st.wMilliseconds * kTicksPerMillisecond;
}

}  // namespace

// Every day from 1601 to 2400 lies one day of ticks after the one before; on
// the days of NTP era 0 the NTP calendar conversion goes there and back and
// counts the same time since 1900 as the ticks do.
TEST(NtpAndTickCalendars, AgreeOnEveryDayFrom1601To2400) {
  SYSTEMTIME ntpEpoch{};
  ntpEpoch.wYear = 1900;
  ntpEpoch.wMonth = 1;
  ntpEpoch.wDay = 1;
  const int64_t ntpEpochTicks = TicksOf(ntpEpoch);
  const int32_t firstNtpDay = DateToJulianDay(1900, 1, 1);
  const int32_t lastWholeNtpDay = DateToJulianDay(2036, 2, 6);
  const int32_t first = DateToJulianDay(1601, 1, 1);
  for (int32_t julianDay = first; julianDay <= DateToJulianDay(2400, 12, 31); ++julianDay) {
    const SYSTEMTIME st = DayAt(julianDay);
    const int64_t ticks = TicksOf(st);
    ASSERT_EQ(ticks, (julianDay - first) * kTicksPerDay + TimeOfDayTicks(st)) << julianDay;
    if (julianDay < firstNtpDay || julianDay > lastWholeNtpDay)
      continue;
    const CNtpTimestamp ntp = CNtpTimestamp::FromCalendar(st);
    const SYSTEMTIME back = ntp.ToCalendar();
    ASSERT_EQ(TicksOf(back), ticks) << julianDay;
    ASSERT_EQ(back.wMilliseconds, st.wMilliseconds);
    ASSERT_EQ(ticks - ntpEpochTicks, ntp.Seconds() * kTicksPerSecond + st.wMilliseconds * kTicksPerMillisecond)
        << julianDay;
  }
}
