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
  NoMajority = 13,         // no majority agrees, or fewer servers than minagree
  ScheduleRefused = 14,    // others can change what the task runs, or the Task Scheduler cannot take its path
  NotAdministrator = 15,   // /schedule or /unschedule without administrator rights
  SchedulerFailed = 16,    // the Task Scheduler refused
  ServersFailed = 17,      // no server gave a time, each failing in its own way
  WeakerThanTrusted = 18,  // /sync refused a time weaker than trust= or /trust: allows
  ForgetFailed = 19,       // the kept key-exchange results could not be removed
};

// The exit code of an exchange that failed so.
ExitCode ExitCodeOf(const FailedExchange& failure);

// Every exit code and what it means, a line each, for the usage text.
std::wstring ExitCodeList();
