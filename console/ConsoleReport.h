#pragma once
#include <optional>
#include <string>
#include <vector>

#include "exchange/ClockHistory.h"
#include "exchange/ServerPoll.h"
#include "exchange/ServerSettings.h"
#include "console/ExitCode.h"
#include "framework/SystemTime.h"
#include "sntp/SntpExchangeResult.h"

// Why a run of Movrane.com failed: its exit code and, in one line, why.
struct ConsoleError {
  ExitCode code;
  std::wstring text;
};

// Another program that may set this clock: its name in JSON and what the
// log says of it.
struct ReportedSetter {
  std::wstring name;
  std::wstring text;
};

// What one run of Movrane.com found out and did.
struct ConsoleReport {
  bool synchronizing = false;
  ServerSettings settings;
  // The server whose time is reported: the one chosen among several, the
  // only one otherwise; empty when several gave no time.
  std::wstring server;
  // Every server with its answer and verdict, when several were asked; and
  // for each, in the same order, why it gave no time, in the log's words
  // (empty for one that answered).
  ServerPoll poll;
  std::vector<std::wstring> failures;
  // The exchange, when the server answered, and the UTC times it gives:
  // the local clock's when the reply arrived, and the server's then.
  std::optional<SntpExchangeResult> measurement;
  SYSTEMTIME localTime{};
  SYSTEMTIME serverTime{};
  // How far that time can be trusted, and why not further.
  TrustLevel trust = TrustLevel::Authenticated;
  std::wstring trustReason;
  bool clockSet = false;
  std::optional<ConsoleError> error;
  // Who else may set this clock: each setter's name and its log line.
  std::vector<ReportedSetter> others;
  // How fast this clock runs against the servers' time, in millionths
  // (positive when it gains) and the log's line, once it is known well
  // enough to tell; and whether something else moved it since the last
  // compare.
  std::optional<double> driftPpm;
  double driftUncertaintyPpm = 0;
  std::wstring driftText;
  bool movedByOther = false;
};

// The measurement, a "label : value" line each; of several servers, how
// many agree and each falseticker and server left out; and for a
// synchronize whether the clock was set. Empty when no time was chosen. Times are
// UTC in ISO 8601, seconds have a dot as the decimal mark.
std::wstring FormatTextReport(const ConsoleReport& report);

// The whole report as one JSON object on one line.
std::wstring FormatJsonReport(const ConsoleReport& report);

// The history of this clock as a table a spreadsheet reads: a line of the
// fields' names, then a record a line.
std::wstring FormatHistoryText(const std::vector<HistoryRecord>& records);

// The history as one JSON array of objects, a record each, on one line.
std::wstring FormatHistoryJson(const std::vector<HistoryRecord>& records);
