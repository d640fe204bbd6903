#pragma once
#include <string>

#include "exchange/CompareLog.h"

// What Movrane.com's exit code tells a script: one code for each way a
// run can end.
enum class ExitCode {
  Success = 0,
  UsageError = 1,
  NoAnswer = 2,
  NameNotFound = 3,
  ReplyRefused = 4,
  NtsFailed = 5,  // the key exchange or the server's certificate
  NetworkRefused = 6,
  NotElevated = 7,
  StepRefused = 8,
  ClockNotSet = 9,
  Stopped = 10,
  NtsPortBlocked = 11,     // the key exchange's connection neither accepted nor refused
  NtsPacketsDropped = 12,  // no NTS request answered after a key exchange that worked
  NoMajority = 13,         // several servers answered, and no majority of them agree
  ScheduleRefused = 14,    // others than administrators can change what the task would run
  NotAdministrator = 15,   // /schedule or /unschedule without administrator rights
  SchedulerFailed = 16,    // the Task Scheduler refused
  HistoryUnread = 18,      // /history found its folder unsafe or its file unreadable
};

// The exit code of an exchange that failed so.
ExitCode ExitCodeOf(const FailedExchange& failure);

// Every exit code and what it means, a line each, for the usage text.
std::wstring ExitCodeList();
