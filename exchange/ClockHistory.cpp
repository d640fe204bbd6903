#include "exchange/ClockHistory.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "exchange/ServerSettings.h"
#include "ticktime/CivilDate.h"

namespace {
constexpr double kSecondsPerDay = 86400;
constexpr int kUnixEpochYear = 1970;
// A record from before the first year, or an offset or bound beyond a
// century, is no record of this program.
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 9999;
constexpr double kLargestSeconds = 100 * 365.25 * kSecondsPerDay;
constexpr int kFieldCount = 7;
constexpr char kLineEnd = '\n';

const char* YesNo(bool yes) {
  return yes ? "yes" : "no";
}

std::optional<bool> ReadYesNo(const std::string& field) {
  if (field == "yes") return true;
  if (field == "no") return false;
  return std::nullopt;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (const char c : line) {
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

// Digits only, at most limit.
std::optional<size_t> ReadCount(const std::string& field, size_t limit) {
  if (field.empty() || field.size() > 3) return std::nullopt;
  size_t count = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    count = 10 * count + static_cast<size_t>(c - '0');
  }
  if (count > limit) return std::nullopt;
  return count;
}

// A decimal number of seconds as HistoryLine writes it: an optional sign,
// digits, a dot and digits.
std::optional<double> ReadSeconds(const std::string& field, bool signedValue) {
  size_t start = 0;
  if (signedValue && !field.empty() && (field[0] == '+' || field[0] == '-')) start = 1;
  const size_t dot = field.find('.', start);
  if (dot == std::string::npos || dot == start || dot + 1 == field.size() || field.size() > 24) return std::nullopt;
  for (size_t i = start; i < field.size(); ++i)
    if (i != dot && (field[i] < '0' || field[i] > '9')) return std::nullopt;
  const double seconds = std::strtod(field.c_str(), nullptr);
  if (std::fabs(seconds) > kLargestSeconds) return std::nullopt;
  return seconds;
}

// 2026-12-08T14:03:27.123Z, each part in its range.
std::optional<SYSTEMTIME> ReadUtcStamp(const std::string& field) {
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  int length = 0;
  if (field.size() != 24 ||
      std::sscanf(field.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u.%3uZ%n", &year, &month, &day, &hour, &minute, &second,
                  &millisecond, &length) != 7 ||
      length != 24)
    return std::nullopt;
  if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 ||
      second > 59)
    return std::nullopt;
  const CivilDate date = CivilDateOf(DayNumberOf(static_cast<int32_t>(year), static_cast<int32_t>(month), day));
  if (date.month != static_cast<int32_t>(month)) return std::nullopt;  // a day past the month's end
  SYSTEMTIME when{};
  when.wYear = static_cast<WORD>(year);
  when.wMonth = static_cast<WORD>(month);
  when.wDay = static_cast<WORD>(day);
  when.wHour = static_cast<WORD>(hour);
  when.wMinute = static_cast<WORD>(minute);
  when.wSecond = static_cast<WORD>(second);
  when.wMilliseconds = static_cast<WORD>(millisecond);
  return when;
}
}  // namespace

HistoryRecord RecordOfPoll(const ServerPoll& poll, const SYSTEMTIME& when, bool stepped) {
  const SntpExchangeResult& chosen = poll.ChosenTime();
  HistoryRecord record;
  record.when = when;
  record.offset = chosen.m_dClockOffset;
  record.bound = chosen.m_dErrorBound;
  record.authenticated = chosen.m_bAuthenticated;
  record.agree = poll.Several() ? poll.Agreeing() : 1;
  record.answered = poll.Several() ? poll.Answered() : 1;
  record.stepped = stepped;
  return record;
}

double SecondsSinceEpoch(const SYSTEMTIME& when) {
  const int64_t days = DayNumberOf(when.wYear, when.wMonth, when.wDay) - DayNumberOf(kUnixEpochYear, 1, 1);
  return static_cast<double>(days) * kSecondsPerDay + when.wHour * 3600.0 + when.wMinute * 60.0 + when.wSecond +
         when.wMilliseconds / 1000.0;
}

std::string HistoryLine(const HistoryRecord& record) {
  char line[kHistoryLineBytes];
  const SYSTEMTIME& t = record.when;
  std::snprintf(line, sizeof line, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ,%+.6f,%.6f,%s,%zu,%zu,%s", t.wYear, t.wMonth,
                t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, record.offset, record.bound,
                YesNo(record.authenticated), record.agree, record.answered, YesNo(record.stepped));
  return line;
}

std::string HistoryHeader() {
  return "time_utc,offset_s,bound_s,authenticated,agree,answered,stepped";
}

std::optional<HistoryRecord> ReadHistoryLine(const std::string& line) {
  const std::vector<std::string> fields = SplitFields(line);
  if (fields.size() != kFieldCount) return std::nullopt;
  const std::optional<SYSTEMTIME> when = ReadUtcStamp(fields[0]);
  const std::optional<double> offset = ReadSeconds(fields[1], true);
  const std::optional<double> bound = ReadSeconds(fields[2], false);
  const std::optional<bool> authenticated = ReadYesNo(fields[3]);
  const std::optional<size_t> agree = ReadCount(fields[4], kMostServers);
  const std::optional<size_t> answered = ReadCount(fields[5], kMostServers);
  const std::optional<bool> stepped = ReadYesNo(fields[6]);
  if (!when || !offset || !bound || !authenticated || !agree || !answered || !stepped) return std::nullopt;
  if (*agree == 0 || *agree > *answered) return std::nullopt;
  return HistoryRecord{*when, *offset, *bound, *authenticated, *agree, *answered, *stepped};
}

std::vector<HistoryRecord> ReadHistoryText(const std::string& text) {
  const std::string read = text.substr(0, kHistoryFileBytes);
  std::vector<HistoryRecord> records;
  size_t start = 0;
  while (start < read.size()) {
    size_t end = read.find(kLineEnd, start);
    if (end == std::string::npos) end = read.size();
    std::string line = read.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (const std::optional<HistoryRecord> record = ReadHistoryLine(line)) records.push_back(*record);
    start = end + 1;
  }
  if (records.size() > kHistoryRecords) records.erase(records.begin(), records.end() - kHistoryRecords);
  return records;
}

std::string HistoryText(const std::vector<HistoryRecord>& records) {
  const size_t first = records.size() > kHistoryRecords ? records.size() - kHistoryRecords : 0;
  std::string text;
  for (size_t i = first; i < records.size(); ++i) text += HistoryLine(records[i]) + kLineEnd;
  return text;
}
