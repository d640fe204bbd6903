#include "sntp/NtpTimestamp.h"

#include <array>
#include <cmath>

#include "ticktime/CivilDate.h"
#include "ticktime/FloorDivision.h"

namespace {

constexpr int32_t kJulianDayOf1900 = 2415021;
// Julian Day of 0000-01-01, day number 0.
constexpr int32_t kJulianDayOfDayNumber0 = 1721060;
constexpr uint32_t kSecondsPerDay = 86400;
constexpr uint32_t kMillisecondsPerSecond = 1000;
constexpr uint32_t kDaysPerWeek = 7;
// The fraction conversions scale by 2^32 - 1, not 2^32.
constexpr double kFractionScale = 4294967295.0;
constexpr uint64_t kFileTimeTicksPerSecond = 10000000;
// From the file times' epoch, 1601-01-01, to the NTP epoch.
constexpr int64_t kFileTimeSecondsBefore1900 = 9435484800;

// Entry m: round(m * 2^32 / 1000).
constexpr std::array<uint32_t, kMillisecondsPerSecond> MakeMillisecondFractions() {
  std::array<uint32_t, kMillisecondsPerSecond> table{};
  for (uint64_t m = 0; m < kMillisecondsPerSecond; ++m)
    table[m] = static_cast<uint32_t>(((m << 32) + kMillisecondsPerSecond / 2) / kMillisecondsPerSecond);
  return table;
}
constexpr auto kMillisecondFractions = MakeMillisecondFractions();

double SpanToSeconds(uint64_t span) {
  const CNtpTimestamp value(span);
  return value.Seconds() + FractionToSeconds(value.Fraction());
}

// Whole seconds in the high word, the rest scaled by 2^32 - 1 and truncated.
uint64_t SecondsToSpan(double seconds) {
  const double whole = std::trunc(seconds);
  return (static_cast<uint64_t>(whole) << 32) + static_cast<uint64_t>((seconds - whole) * kFractionScale);
}

struct WholeMilliseconds {
  int64_t seconds;
  uint16_t milliseconds;
};

// The fraction rounded to whole milliseconds; 1000 carries into the second.
WholeMilliseconds RoundToMilliseconds(int64_t seconds, uint32_t fraction) {
  const uint16_t milliseconds = FractionToMilliseconds(fraction);
  if (milliseconds == kMillisecondsPerSecond) return {seconds + 1, 0};
  return {seconds, milliseconds};
}

// The calendar record of whole seconds since 1900 (of any era).
SYSTEMTIME CalendarOf(const WholeMilliseconds& time) {
  const FloorQuotient days = FloorDivide(time.seconds, kSecondsPerDay);
  const int64_t secondOfDay = days.remainder;
  SYSTEMTIME st{};
  st.wSecond = static_cast<WORD>(secondOfDay % 60);
  st.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
  st.wHour = static_cast<WORD>(secondOfDay / 3600);
  const int32_t julianDay = static_cast<int32_t>(days.quotient + kJulianDayOf1900);
  st.wDayOfWeek = static_cast<WORD>((julianDay + 1) % kDaysPerWeek);
  JulianDayToDate(julianDay, st.wYear, st.wMonth, st.wDay);
  st.wMilliseconds = time.milliseconds;
  return st;
}

}  // namespace

int32_t DateToJulianDay(uint16_t year, uint16_t month, uint16_t day) {
  return static_cast<int32_t>(DayNumberOf(year, month, day) + kJulianDayOfDayNumber0);
}

void JulianDayToDate(int32_t julianDay, uint16_t& year, uint16_t& month, uint16_t& day) {
  const CivilDate date = CivilDateOf(julianDay - kJulianDayOfDayNumber0);
  year = static_cast<uint16_t>(date.year);
  month = static_cast<uint16_t>(date.month);
  day = static_cast<uint16_t>(date.day);
}

uint16_t FractionToMilliseconds(uint32_t fraction) {
  return static_cast<uint16_t>(fraction * (kMillisecondsPerSecond / kFractionScale) + 0.5);
}

double FractionToSeconds(uint32_t fraction) {
  return fraction * (1 / kFractionScale);
}

CNtpTimestamp CNtpTimestamp::FromWire(const uint8_t* bytes) {
  uint64_t value = 0;
  for (int i = 0; i < kWireSize; ++i)
    value = value << 8 | bytes[i];
  return CNtpTimestamp(value);
}

void CNtpTimestamp::ToWire(uint8_t* bytes) const {
  for (int i = 0; i < kWireSize; ++i)
    bytes[i] = static_cast<uint8_t>(m_nValue >> (8 * (kWireSize - 1 - i)));
}

CNtpTimestamp CNtpTimestamp::FromCalendar(const SYSTEMTIME& st) {
  const int64_t days = DateToJulianDay(st.wYear, st.wMonth, st.wDay) - kJulianDayOf1900;
  const int64_t seconds = ((days * 24 + st.wHour) * 60 + st.wMinute) * 60 + st.wSecond;
  return CNtpTimestamp((static_cast<uint64_t>(seconds) << 32) + kMillisecondFractions[st.wMilliseconds]);
}

SYSTEMTIME CNtpTimestamp::ToCalendar() const {
  WholeMilliseconds rounded = RoundToMilliseconds(Seconds(), Fraction());
  rounded.seconds = static_cast<uint32_t>(rounded.seconds);  // era 0: the end wraps to 1900
  return CalendarOf(rounded);
}

SYSTEMTIME CNtpTimestamp::ToCalendarNear(uint64_t nearFileTime) const {
  const int64_t nearSeconds =
      static_cast<int64_t>(nearFileTime / kFileTimeTicksPerSecond) - kFileTimeSecondsBefore1900;
  const auto fromNear = static_cast<int32_t>(Seconds() - static_cast<uint32_t>(nearSeconds));
  return CalendarOf(RoundToMilliseconds(nearSeconds + fromNear, Fraction()));
}

CNtpTimestamp CNtpTimestamp::FromFileTime(uint64_t fileTime) {
  const uint64_t seconds = fileTime / kFileTimeTicksPerSecond - kFileTimeSecondsBefore1900;
  const uint64_t ticks = fileTime % kFileTimeTicksPerSecond;
  const uint64_t fraction = ((ticks << 32) + kFileTimeTicksPerSecond / 2) / kFileTimeTicksPerSecond;
  return CNtpTimestamp((seconds << 32) + fraction);
}

double CNtpTimestamp::SecondsSince(const CNtpTimestamp& other) const {
  const bool later = static_cast<int64_t>(m_nValue - other.m_nValue) >= 0;
  return later ? SpanToSeconds(m_nValue - other.m_nValue) : -SpanToSeconds(other.m_nValue - m_nValue);
}

CNtpTimestamp CNtpTimestamp::AddSeconds(double seconds) const {
  return CNtpTimestamp(seconds >= 0 ? m_nValue + SecondsToSpan(seconds) : m_nValue - SecondsToSpan(-seconds));
}
