#pragma once
#include <cstdint>

#include "framework/SystemTime.h"

// Julian Day Number of a Gregorian date (month 1..12), and back.
int32_t DateToJulianDay(uint16_t year, uint16_t month, uint16_t day);
void JulianDayToDate(int32_t julianDay, uint16_t& year, uint16_t& month, uint16_t& day);

// A 2^-32 s fraction as whole milliseconds (0..1000, rounded) and as seconds.
uint16_t FractionToMilliseconds(uint32_t fraction);
double FractionToSeconds(uint32_t fraction);

// NTP timestamp: seconds since 1900-01-01 00:00:00 UTC in the high word,
// modulo 2^32 (the NTP era), a 2^-32 s fraction in the low word.
class CNtpTimestamp {
public:
  static constexpr int kWireSize = 8;

  CNtpTimestamp() = default;
  explicit CNtpTimestamp(uint64_t value) : m_nValue(value) {}

  // Wire form: seconds then fraction, each big-endian.
  static CNtpTimestamp FromWire(const uint8_t* bytes);
  void ToWire(uint8_t* bytes) const;

  uint64_t Value() const { return m_nValue; }
  uint32_t Seconds() const { return static_cast<uint32_t>(m_nValue >> 32); }
  uint32_t Fraction() const { return static_cast<uint32_t>(m_nValue); }

  // UTC calendar time of era 0. A fraction that rounds to 1000 ms yields
  // the next second with 0 ms.
  static CNtpTimestamp FromCalendar(const SYSTEMTIME& st);
  SYSTEMTIME ToCalendar() const;
  // The same of the instant in the era that puts it nearest the file time.
  SYSTEMTIME ToCalendarNear(uint64_t nearFileTime) const;

  // A file time: 100-ns ticks since 1601-01-01 00:00:00 UTC.
  static CNtpTimestamp FromFileTime(uint64_t fileTime);

  // This minus other, in seconds: the difference modulo 2^64 taken as a
  // signed value, right for any two instants less than 68 years apart,
  // whatever their eras.
  double SecondsSince(const CNtpTimestamp& other) const;
  CNtpTimestamp AddSeconds(double seconds) const;

  bool operator==(const CNtpTimestamp& other) const { return m_nValue == other.m_nValue; }
  bool operator!=(const CNtpTimestamp& other) const { return m_nValue != other.m_nValue; }

private:
  uint64_t m_nValue = 0;
};
