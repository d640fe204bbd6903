#pragma once
#include <optional>
#include <string>

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
  // The exchange, when the server answered, and the UTC times it gives:
  // the local clock's when the reply arrived, and the server's then.
  std::optional<SntpExchangeResult> measurement;
  SYSTEMTIME localTime{};
  SYSTEMTIME serverTime{};
  bool clockSet = false;
  std::optional<ConsoleError> error;
};

// The measurement, a "label : value" line each, and for a synchronize
// whether the clock was set; empty when nothing was measured. Times are
// UTC in ISO 8601, seconds have a dot as the decimal mark.
std::wstring FormatTextReport(const ConsoleReport& report);

// The whole report as one JSON object on one line.
std::wstring FormatJsonReport(const ConsoleReport& report);
