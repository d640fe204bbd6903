#pragma once
#include <windows.h>

// A window's one-second tick: a timer started on a whole second of local
// time, and the one record of local time that each tick hands on. Used on
// the window's thread only; the platform ties timers to it.
class CSecondTick {
public:
  static constexpr UINT_PTR kTimerId = 1;

  // Milliseconds from now to the next whole second of local time, 1..1000.
  static DWORD MillisecondsToNextSecond();

  // Waits for the next whole second of local time, then starts the timer.
  // Its first tick comes a period later: the caller ticks this second itself.
  void StartOnNextSecond(HWND window);
  // Starts the timer anew on the second that begins now.
  void Restart();
  void Stop();

  // Reads the local time into the shared record, and gives its address.
  const SYSTEMTIME* ReadLocalTime();

private:
  HWND m_hWnd = nullptr;
  UINT_PTR m_nTimer = 0;
  SYSTEMTIME m_localTime{};
};
