#pragma once
#include <windows.h>

// From its making to the end of the process, Ctrl+C and Ctrl+Break no
// longer end the process at once: they signal the stop event, which ends
// the exchange's waits as closing the dialog does. One per process.
class CConsoleStop {
public:
  CConsoleStop();
  CConsoleStop(const CConsoleStop&) = delete;
  CConsoleStop& operator=(const CConsoleStop&) = delete;

  // Manual-reset; null when it could not be made, and then nothing stops
  // the exchange but its deadlines.
  HANDLE Event() const { return s_hStopEvent; }

private:
  static BOOL WINAPI OnControl(DWORD controlType);

  // Never closed: the handler may run on its own thread until the end.
  static HANDLE s_hStopEvent;
};
