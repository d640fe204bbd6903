#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "tests/wine/ui/RunDirectory.h"

// How a run of the console program ended: its exit code (STILL_ACTIVE when
// it had to be ended), what it wrote and how long it took.
struct ConsoleOutcome {
  DWORD exitCode = STILL_ACTIVE;
  std::string output;  // standard output, as the bytes it wrote
  std::string errors;  // standard error, the same
  double seconds = 0;
  std::optional<double> secondsAfterCtrlC;  // from pressing Ctrl+C to the end, when it was
};

// Runs the program of the directory with these arguments, in that
// directory, as a script does: its standard output and error go to files.
// With a condition, Ctrl+C is pressed on its console once that holds.
ConsoleOutcome RunConsoleProgram(const CRunDirectory& directory, const std::wstring& arguments,
                                 const std::function<bool()>& pressCtrlCWhen = nullptr);

// Runs it writing to a console, this test's own; what the console shows
// afterwards, its lines with their trailing blanks cut, each ending in
// LF.
std::wstring RunOnConsole(const CRunDirectory& directory, const std::wstring& arguments);

// Bytes written as UTF-8 read as UTF-16.
std::wstring FromUtf8(const std::string& bytes);
