#pragma once
#include <optional>
#include <string>
#include <vector>

#include "exchange/StepConsent.h"
#include "exchange/TrustLevel.h"

// What Movrane.com does.
enum class ConsoleAction { Compare, Sync, Schedule, Unschedule, Forget, Usage };

// How often the scheduled task synchronizes, in hours, unless told.
constexpr int kScheduleHours = 24;
constexpr int kLongestScheduleHours = 168;  // a week

// Movrane.com's command line, understood: each option starts with / or -
// and its name may be written in any case.
struct ConsoleCommand {
  ConsoleAction action = ConsoleAction::Compare;
  std::vector<std::wstring> servers;   // /server:NAME, once for each server
  std::optional<bool> nts;             // /nts or /nonts
  std::optional<size_t> minAgree;      // /minagree:N
  std::optional<TrustLevel> trust;     // /trust:LEVEL
  bool json = false;                   // /json
  double maxStep = kLargeStepSeconds;  // /maxstep:SECONDS, with /sync only
  int scheduleHours = kScheduleHours;  // /schedule:HOURS
  // Why the command line was not understood; empty when it was.
  std::wstring error;
};

// The command that the arguments (the program's name left out) give.
ConsoleCommand ParseConsoleCommand(const std::vector<std::wstring>& arguments);

// What /? shows: the options and the exit codes.
std::wstring UsageText();
