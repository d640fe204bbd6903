#include "console/HistoryProgram.h"

#include "exchange/HistoryFile.h"
#include "exchange/SettingsFile.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleReport.h"

ExitCode CHistoryProgram::Run() const {
  const HistoryRead history = CHistoryFile::Read();
  if (history.problem) {
    CConsoleOutput(STD_ERROR_HANDLE).Write(HistoryProblemLine(ReadLogMessages(), *history.problem));
    return ExitCode::HistoryUnread;
  }
  CConsoleOutput(STD_OUTPUT_HANDLE)
      .Write(m_command.json ? FormatHistoryJson(history.records) : FormatHistoryText(history.records));
  return ExitCode::Success;
}
