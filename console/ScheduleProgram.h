#pragma once
#include <windows.h>

#include <string>

#include "console/ConsoleCommand.h"
#include "console/ConsoleOutput.h"
#include "console/ExitCode.h"

// A run of Movrane.com /schedule, /unschedule or /forget: the task of the
// Task Scheduler that runs this program's /sync made, replaced or removed
// (and with it the NTS key-exchange results kept between runs, which
// /forget alone removes too), only for an administrator, and made only
// where no one else can change what it runs and from a path the Task
// Scheduler takes. The event source of the Application log goes with it
// where no installer registered one. What was done goes to standard
// output, a refusal to standard error.
class CScheduleProgram {
public:
  explicit CScheduleProgram(const ConsoleCommand& command);

  ExitCode Run();

private:
  bool RunsAsAdministrator() const;
  ExitCode Schedule();
  ExitCode Unschedule();
  ExitCode Forget();
  void MakeEventSource(const std::wstring& program);
  void RemoveOwnEventSource();
  ExitCode Done(const std::wstring& text);
  ExitCode Fail(ExitCode code, const std::wstring& text);

  const ConsoleCommand& m_command;
  CConsoleOutput m_output{STD_OUTPUT_HANDLE};
  CConsoleOutput m_errors{STD_ERROR_HANDLE};
};
