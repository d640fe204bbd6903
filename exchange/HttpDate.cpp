#include "exchange/HttpDate.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<std::string_view, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// "Sun, 06 Nov 1994 08:49:37 GMT": where each field starts.
constexpr std::string_view kShape = "Ddd, DD Mmm YYYY hh:mm:ss GMT";
constexpr size_t kDayNameAt = 0, kDayAt = 5, kMonthAt = 8, kYearAt = 12, kHourAt = 17, kMinuteAt = 20,
                 kSecondAt = 23;
constexpr std::string_view kLiterals[] = {", ", " ", " ", " ", ":", ":", " GMT"};
constexpr size_t kLiteralsAt[] = {3, 7, 11, 16, 19, 22, 25};
// The year before the Gregorian calendar's 1900 cannot be an NTP time.
constexpr int kEarliestYear = 1900;
// A minute may hold a leap second.
constexpr int kLastSecond = 60;
// Julian day 0 was a Monday.
constexpr int kDaysInWeek = 7;

// The number the digits at [at, at + count) write; none unless all are digits.
std::optional<int> Digits(std::string_view text, size_t at, size_t count) {
  int value = 0;
  for (char c : text.substr(at, count)) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The index of the three-letter name at the position, names compared as
// written (the grammar's names are case-sensitive); none when it is none.
template <size_t N>
std::optional<int> NameAt(std::string_view text, size_t at, const std::array<std::string_view, N>& names) {
  for (size_t i = 0; i < N; ++i)
    if (text.substr(at, names[i].size()) == names[i]) return static_cast<int>(i);
  return std::nullopt;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool LiteralsInPlace(std::string_view text) {
  for (size_t i = 0; i < std::size(kLiterals); ++i)
    if (text.substr(kLiteralsAt[i], kLiterals[i].size()) != kLiterals[i]) return false;
  return true;
}

}  // namespace

std::optional<CNtpTimestamp> ParseHttpDate(std::string_view text) {
  if (text.size() != kShape.size() || !LiteralsInPlace(text)) return std::nullopt;
  const std::optional<int> dayName = NameAt(text, kDayNameAt, kDayNames);
  const std::optional<int> day = Digits(text, kDayAt, 2);
  const std::optional<int> month = NameAt(text, kMonthAt, kMonthNames);
  const std::optional<int> year = Digits(text, kYearAt, 4);
  const std::optional<int> hour = Digits(text, kHourAt, 2);
  const std::optional<int> minute = Digits(text, kMinuteAt, 2);
  const std::optional<int> second = Digits(text, kSecondAt, 2);
  if (!dayName || !day || !month || !year || !hour || !minute || !second) return std::nullopt;
  if (*year < kEarliestYear || *day < 1 || *day > DaysInMonth(*year, *month + 1) || *hour > 23 || *minute > 59 ||
      *second > kLastSecond)
    return std::nullopt;
  const uint16_t wYear = static_cast<uint16_t>(*year), wMonth = static_cast<uint16_t>(*month + 1),
                 wDay = static_cast<uint16_t>(*day);
  if (DateToJulianDay(wYear, wMonth, wDay) % kDaysInWeek != *dayName) return std::nullopt;
  SYSTEMTIME date{};
  date.wYear = wYear;
  date.wMonth = wMonth;
  date.wDay = wDay;
  date.wHour = static_cast<uint16_t>(*hour);
  date.wMinute = static_cast<uint16_t>(*minute);
  date.wSecond = static_cast<uint16_t>(*second);
  return CNtpTimestamp::FromCalendar(date);
}
