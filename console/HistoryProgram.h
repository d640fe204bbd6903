#pragma once
#include "console/ConsoleCommand.h"
#include "console/ExitCode.h"

// Movrane.com /history: the records kept of this clock on standard output,
// as a table or a JSON array; why there are none on standard error.
class CHistoryProgram {
public:
  explicit CHistoryProgram(const ConsoleCommand& command) : m_command(command) {}

  ExitCode Run() const;

private:
  const ConsoleCommand& m_command;
};
