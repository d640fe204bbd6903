#include "console/ConsoleStop.h"

HANDLE CConsoleStop::s_hStopEvent = nullptr;

CConsoleStop::CConsoleStop() {
  s_hStopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (s_hStopEvent) ::SetConsoleCtrlHandler(OnControl, TRUE);
}

// On a thread of its own. Closing the console, logging off and shutting
// down still end the process: the clock is set in one call or not at all.
BOOL WINAPI CConsoleStop::OnControl(DWORD controlType) {
  if (controlType != CTRL_C_EVENT && controlType != CTRL_BREAK_EVENT) return FALSE;
  ::SetEvent(s_hStopEvent);
  return TRUE;
}
