#pragma once
#include <windows.h>

#include <string>

#include "exchange/ServerListQuery.h"
#include "exchange/ServerPoll.h"
#include "exchange/ServerSettings.h"
#include "console/ConsoleCommand.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleReport.h"
#include "framework/String.h"
#include "nts/NtsSession.h"

// One run of Movrane.com with a command that was understood: one compare
// of the servers of the settings (or the command's), the clock set for
// /sync from the time a majority of them agree on, the report on standard
// output and what went wrong on standard error.
class CConsoleProgram {
public:
  CConsoleProgram(const ConsoleCommand& command, HANDLE stopEvent);

  ExitCode Run();

private:
  bool MaySetTheClock() const;
  void WarnWhereOthersCanChange() const;
  void TellWhyNothingIsKept() const;
  ExitCode Measure();
  void ReportServers(const ServerPoll& poll);
  ExitCode ExchangeFailed(const FailedExchange& failure);
  ExitCode PollFailed(const ServerPoll& poll);
  ExitCode Synchronize();
  ExitCode RefuseStep(const std::wstring& reason, ExitCode code = ExitCode::StepRefused);
  // Tells why on standard error (errorText, whole lines) and ends.
  ExitCode Fail(ExitCode code, const std::wstring& reason, const std::wstring& errorText);
  ExitCode Stopped();
  ExitCode Finish(ExitCode code);
  void RecordSync() const;

  const ConsoleCommand& m_command;
  CStringArray m_messages;
  ConsoleReport m_report;
  HANDLE m_stopEvent;
  CServerListQuery m_query;
  NtsSessions m_sessions;
  CConsoleOutput m_output{STD_OUTPUT_HANDLE};
  CConsoleOutput m_errors{STD_ERROR_HANDLE};
  std::wstring m_failureLog;  // what a failure wrote to standard error
};
