#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ServerPoll.h"
#include "framework/SystemTime.h"

// The history file keeps the last 1,000 compares; a longer file is read as
// its last 1,000 lines, and nothing beyond kHistoryFileBytes is read.
constexpr size_t kHistoryRecords = 1000;
constexpr size_t kHistoryLineBytes = 128;
constexpr size_t kHistoryFileBytes = (kHistoryRecords + 1) * kHistoryLineBytes;

// What one compare found of this clock.
struct HistoryRecord {
  SYSTEMTIME when{};   // UTC, to the millisecond: the local clock when the reply came
  double offset = 0;   // seconds to add to the local clock
  double bound = 0;    // seconds the true offset may lie either side
  bool authenticated = false;
  size_t agree = 1;     // how many of the servers that answered agree
  size_t answered = 1;  // how many answered
  bool stepped = false;  // whether the clock was then set to the server's time
};

// The record of a poll that chose a time, made at when.
HistoryRecord RecordOfPoll(const ServerPoll& poll, const SYSTEMTIME& when, bool stepped);

// Seconds from 1970-01-01T00:00:00Z to the record's time.
double SecondsSinceEpoch(const SYSTEMTIME& when);

// One record as a line of comma-separated fields, without its end:
// 2026-12-08T14:03:27.123Z,+0.001234,0.000456,yes,3,4,no
std::string HistoryLine(const HistoryRecord& record);

// The names of HistoryLine's fields, as the first line of a table.
std::string HistoryHeader();

// A line read back: nothing unless every field is there and within its
// range.
std::optional<HistoryRecord> ReadHistoryLine(std::string_view line);

// The records of a file's text, oldest first: lines that are not records
// are skipped, only the first kHistoryFileBytes are read, and of more than
// kHistoryRecords the last are kept.
std::vector<HistoryRecord> ReadHistoryText(const std::string& text);

// The file's text: the last kHistoryRecords records, a line each.
std::string HistoryText(const std::vector<HistoryRecord>& records);
