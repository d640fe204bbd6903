#pragma once
#include <optional>
#include <string>
#include <vector>

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
};

// The measurement, a "label : value" line each; of several servers, how
// many agree and each falseticker and server left out; and for a
// synchronize whether the clock was set. Empty when no time was chosen. Times are
// UTC in ISO 8601, seconds have a dot as the decimal mark.
std::wstring FormatTextReport(const ConsoleReport& report);

// The whole report as one JSON object on one line.
std::wstring FormatJsonReport(const ConsoleReport& report);
