// Movrane.com: the console companion of Movrane.exe, for scripts and
// scheduled tasks. It runs with the rights of whoever starts it.
#include <windows.h>

#include <vector>

#include "console/ConsoleCommand.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleProgram.h"
#include "console/ConsoleStop.h"
#include "console/ScheduleProgram.h"

namespace {
const wchar_t kUsageHint[] = L"Movrane.com /? shows how to use it.\r\n";
}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const ConsoleCommand command = ParseConsoleCommand(std::vector<std::wstring>(argv + 1, argv + argc));
  if (!command.error.empty()) {
    CConsoleOutput(STD_ERROR_HANDLE).Write(command.error + L"\r\n" + kUsageHint);
    return static_cast<int>(ExitCode::UsageError);
  }
  if (command.action == ConsoleAction::Usage) {
    CConsoleOutput(STD_OUTPUT_HANDLE).Write(UsageText());
    return static_cast<int>(ExitCode::Success);
  }
  if (command.action == ConsoleAction::Schedule || command.action == ConsoleAction::Unschedule ||
      command.action == ConsoleAction::Forget)
    return static_cast<int>(CScheduleProgram(command).Run());
  const CConsoleStop stop;
  return static_cast<int>(CConsoleProgram(command, stop.Event()).Run());
}
