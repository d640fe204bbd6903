#pragma once
#include <windows.h>

#include <string>

#include "app/ServerSettings.h"
#include "console/ConsoleCommand.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleReport.h"
#include "framework/String.h"
#include "sntp/SNTPClient.h"

// One run of Movrane.com with a command that was understood: one
// exchange with the server of the settings (or the command's), the
// clock set for /sync, the report on standard output and what went
// wrong on standard error.
class CConsoleProgram {
public:
  CConsoleProgram(const ConsoleCommand& command, HANDLE stopEvent);

  ExitCode Run();

private:
  bool MaySetTheClock() const;
  void WarnWhereOthersCanChange() const;
  ExitCode Measure();
  ExitCode ExchangeFailed(DWORD error);
  ExitCode Synchronize();
  // Tells why on standard error (errorText, whole lines) and ends.
  ExitCode Fail(ExitCode code, const std::wstring& reason, const std::wstring& errorText);
  ExitCode Stopped();
  ExitCode Finish(ExitCode code);

  const ConsoleCommand& m_command;
  HANDLE m_hStopEvent;
  CStringArray m_messages;
  ConsoleReport m_report;
  CSNTPClient m_client;
  CConsoleOutput m_output{STD_OUTPUT_HANDLE};
  CConsoleOutput m_errors{STD_ERROR_HANDLE};
};
