#include "exchange/ClockHistory.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "exchange/ServerSettings.h"
#include "ticktime/CivilDate.h"

namespace {
constexpr double kSecondsPerDay = 86400;
constexpr int kUnixEpochYear = 1970;
// A record from before the first year, or an offset or bound beyond a
// century, is no record of this program.
constexpr uint64_t kFirstYear = 2000;
constexpr double kLargestSeconds = 100 * 365.25 * kSecondsPerDay;
constexpr size_t kMostWholeDigits = 10;
constexpr size_t kMostFractionDigits = 9;
constexpr size_t kStampLength = 24;
constexpr size_t kFieldCount = 7;
constexpr char kLineEnd = '\n';

const char* YesNo(bool yes) {
  return yes ? "yes" : "no";
}

std::optional<bool> ReadYesNo(std::string_view field) {
  if (field == "yes") return true;
  if (field == "no") return false;
  return std::nullopt;
}

// The comma-separated fields of a line; none unless there are exactly
// kFieldCount.
std::optional<std::array<std::string_view, kFieldCount>> SplitFields(std::string_view line) {
  std::array<std::string_view, kFieldCount> fields;
  for (size_t i = 0; i < kFieldCount; ++i) {
    const size_t comma = line.find(',');
    if ((comma == std::string_view::npos) != (i + 1 == kFieldCount)) return std::nullopt;
    fields[i] = line.substr(0, comma);
    line.remove_prefix(comma == std::string_view::npos ? line.size() : comma + 1);
  }
  return fields;
}

// Decimal digits only, at most maxDigits of them.
std::optional<uint64_t> ReadDigits(std::string_view digits, size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = 10 * value + static_cast<uint64_t>(c - '0');
  }
  return value;
}

// A count of servers, at most limit.
std::optional<size_t> ReadCount(std::string_view field, size_t limit) {
  const std::optional<uint64_t> count = ReadDigits(field, 3);
  if (!count || *count > limit) return std::nullopt;
  return static_cast<size_t>(*count);
}

// A decimal number of seconds as HistoryLine writes it: an optional sign,
// digits, a dot and digits.
std::optional<double> ReadSeconds(std::string_view field, bool signedValue) {
  const bool negative = signedValue && !field.empty() && field[0] == '-';
  if (signedValue && !field.empty() && (field[0] == '+' || field[0] == '-')) field.remove_prefix(1);
  const size_t dot = field.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::optional<uint64_t> whole = ReadDigits(field.substr(0, dot), kMostWholeDigits);
  const std::string_view fractionDigits = field.substr(dot + 1);
  const std::optional<uint64_t> fraction = ReadDigits(fractionDigits, kMostFractionDigits);
  if (!whole || !fraction) return std::nullopt;
  const double seconds = static_cast<double>(*whole) +
                         static_cast<double>(*fraction) / std::pow(10.0, static_cast<double>(fractionDigits.size()));
  if (seconds > kLargestSeconds) return std::nullopt;
  return negative ? -seconds : seconds;
}

// 2026-12-08T14:03:27.123Z, each part in its range.
std::optional<SYSTEMTIME> ReadUtcStamp(std::string_view field) {
  if (field.size() != kStampLength || field[4] != '-' || field[7] != '-' || field[10] != 'T' || field[13] != ':' ||
      field[16] != ':' || field[19] != '.' || field[23] != 'Z')
    return std::nullopt;
  const auto part = [&](size_t at, size_t digits) { return ReadDigits(field.substr(at, digits), digits); };
  const std::optional<uint64_t> year = part(0, 4), month = part(5, 2), day = part(8, 2), hour = part(11, 2),
                                minute = part(14, 2), second = part(17, 2), millisecond = part(20, 3);
  if (!year || !month || !day || !hour || !minute || !second || !millisecond) return std::nullopt;
  if (*year < kFirstYear || *month < 1 || *month > 12 || *day < 1 || *hour > 23 || *minute > 59 || *second > 59)
    return std::nullopt;
  const int32_t y = static_cast<int32_t>(*year), m = static_cast<int32_t>(*month);
  if (CivilDateOf(DayNumberOf(y, m, static_cast<int64_t>(*day))).month != m) return std::nullopt;  // past the month
  SYSTEMTIME when{};
  when.wYear = static_cast<WORD>(*year);
  when.wMonth = static_cast<WORD>(*month);
  when.wDay = static_cast<WORD>(*day);
  when.wHour = static_cast<WORD>(*hour);
  when.wMinute = static_cast<WORD>(*minute);
  when.wSecond = static_cast<WORD>(*second);
  when.wMilliseconds = static_cast<WORD>(*millisecond);
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

std::optional<HistoryRecord> ReadHistoryLine(std::string_view line) {
  const auto fields = SplitFields(line);
  if (!fields) return std::nullopt;
  const std::optional<SYSTEMTIME> when = ReadUtcStamp((*fields)[0]);
  const std::optional<double> offset = ReadSeconds((*fields)[1], true);
  const std::optional<double> bound = ReadSeconds((*fields)[2], false);
  const std::optional<bool> authenticated = ReadYesNo((*fields)[3]);
  const std::optional<size_t> agree = ReadCount((*fields)[4], kMostServers);
  const std::optional<size_t> answered = ReadCount((*fields)[5], kMostServers);
  const std::optional<bool> stepped = ReadYesNo((*fields)[6]);
  if (!when || !offset || !bound || !authenticated || !agree || !answered || !stepped) return std::nullopt;
  if (*agree == 0 || *agree > *answered) return std::nullopt;
  return HistoryRecord{*when, *offset, *bound, *authenticated, *agree, *answered, *stepped};
}

std::vector<HistoryRecord> ReadHistoryText(const std::string& text) {
  std::string_view read = std::string_view(text).substr(0, kHistoryFileBytes);
  std::vector<HistoryRecord> records;
  while (!read.empty()) {
    const size_t end = read.find(kLineEnd);
    std::string_view line = read.substr(0, end);
    read.remove_prefix(end == std::string_view::npos ? read.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const std::optional<HistoryRecord> record = ReadHistoryLine(line)) records.push_back(*record);
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
