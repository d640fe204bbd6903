#pragma once
#include <windows.h>

// Opens a web or mail address with the user's normal rights, never with
// those of an elevated process: the desktop shell, which runs unelevated,
// opens it, and may give the program it starts the foreground. Where there
// is no desktop shell to ask, the shell's ShellExecuteW opens it in this
// process, but only when this process is not elevated either; both run in
// a COM apartment. Nothing is ever started from a command line read out of
// the registry here.
class CUnelevatedOpener {
public:
  // Greater than 32 when opened; otherwise ShellExecuteW's error code, or
  // kDesktopShellFailed or kNoUnelevatedShell (controls/LinkOpenText.h).
  static int Open(LPCWSTR target, int showCommand);

private:
  enum class DesktopShellResult { Opened, Failed, Unavailable };

  static DesktopShellResult OpenThroughDesktopShell(LPCWSTR target, int showCommand);
  static bool IsElevated();
};
