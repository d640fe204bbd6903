#include "tests/wine/compare/LogReading.h"

#include <regex>

namespace {
const std::wstring kLineEnd = L"\r\n";
constexpr double kTicksPerSecond = 1e7;

// The rest of the line after the label; nothing when it does not start so.
std::optional<std::wstring> After(const std::wstring& line, const std::wstring& label) {
  if (line.compare(0, label.size(), label) != 0) return std::nullopt;
  return line.substr(label.size());
}

WORD Field(const std::wsmatch& match, size_t index) {
  return static_cast<WORD>(std::stoi(match[index].str()));
}

// A valid calendar time from the six date and time fields of a match.
std::optional<SYSTEMTIME> TimeFrom(const std::wsmatch& match, WORD milliseconds) {
  SYSTEMTIME time{};
  time.wYear = Field(match, 1);
  time.wMonth = Field(match, 2);
  time.wDay = Field(match, 3);
  time.wHour = Field(match, 4);
  time.wMinute = Field(match, 5);
  time.wSecond = Field(match, 6);
  time.wMilliseconds = milliseconds;
  FILETIME checked;
  if (!::SystemTimeToFileTime(&time, &checked)) return std::nullopt;
  return time;
}

double Seconds(const SYSTEMTIME& time) {
  FILETIME file{};
  ::SystemTimeToFileTime(&time, &file);
  const ULONGLONG ticks = (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  return static_cast<double>(ticks) / kTicksPerSecond;
}
}  // namespace

std::optional<std::vector<std::wstring>> LinesOf(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(kLineEnd, start);
    if (end == std::wstring::npos) return std::nullopt;
    lines.push_back(text.substr(start, end - start));
    start = end + kLineEnd.size();
  }
  return lines;
}

std::optional<std::vector<std::wstring>> MeasuredLinesOf(const std::wstring& text) {
  // What Wine's folders, which their user owns, make the programs say once.
  const auto toldOnce = [](const std::wstring& line) {
    return line.rfind(L"No history of this clock is kept", 0) == 0 ||
           line.rfind(L"NTS key-exchange results are not kept between runs", 0) == 0;
  };
  std::optional<std::vector<std::wstring>> lines = LinesOf(text);
  while (lines && !lines->empty() && toldOnce(lines->back())) lines->pop_back();
  return lines;
}

std::optional<double> OffsetIn(const std::wstring& line, const std::wstring& label) {
  static const std::wregex kOffset(LR"( \((-?\d+\.\d{6}) sec\.\))");
  const std::optional<std::wstring> rest = After(line, label);
  std::wsmatch match;
  if (!rest || !std::regex_match(*rest, match, kOffset)) return std::nullopt;
  return std::stod(match[1].str());
}

std::optional<SYSTEMTIME> TimeIn(const std::wstring& line, const std::wstring& label) {
  static const std::wregex kTime(LR"( : (\d{4})/(\d{2})/(\d{2}), (\d{2}):(\d{2}):(\d{2})\.(\d{3}))");
  const std::optional<std::wstring> rest = After(line, label);
  std::wsmatch match;
  if (!rest || !std::regex_match(*rest, match, kTime)) return std::nullopt;
  return TimeFrom(match, Field(match, 7));
}

std::optional<SYSTEMTIME> ClockTime(const std::wstring& clockText) {
  static const std::wregex kClock(LR"((\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}) (\d{2}))");
  std::wsmatch match;
  if (!std::regex_match(clockText, match, kClock)) return std::nullopt;
  return TimeFrom(match, 0);
}

double SecondsBetween(const SYSTEMTIME& earlier, const SYSTEMTIME& later) {
  return Seconds(later) - Seconds(earlier);
}
