#pragma once
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/wine/ui/DigitStrip.h"

enum class ClockKind { Local, Server };

// What both clocks of the main dialog show in one capture of the screen.
struct ClockReading {
  SYSTEMTIME time;  // local time just before or just after the capture
  std::wstring local;
  std::wstring server;
};

// Reads the date and time that a clock control shows on the screen, as
// "YYYY-MM-DD HH:MM SS", by matching its fourteen digit cells against the
// digit strips in the resources of the program under test, those of a
// display scale (index 0 is 100 %). A blank cell reads as a space, a cell
// that matches no digit as '?'.
class CClockReader {
public:
  explicit CClockReader(const std::filesystem::path& program, int scaleIndex = 0);

  // Whether all four digit strips were found in the program.
  bool Loaded() const { return m_bLoaded; }

  std::wstring Read(HWND hClock, ClockKind kind) const;
  std::wstring Read(const CPixelGrid& face, ClockKind kind) const;
  // Both clocks of the dialog from one capture. The reading's time is the
  // local time before the capture, or after it when the local clock shows
  // that one.
  ClockReading ReadDialogClocks(HWND hDialog) const;
  // Reads the clocks until a reading is settled or the time is up; the
  // last reading.
  ClockReading AwaitDialogClocks(HWND hDialog, const std::function<bool(const ClockReading&)>& settled,
                                 DWORD nMilliseconds) const;
  // The scale index of the images a clock shows, found by its width; 0
  // when none fits.
  static int ScaleIndexOf(HWND hClock);
  // Whether the local clock shows the local time of its reading.
  static bool ShowsItsTime(const ClockReading& reading);

  // The client area of a window as the screen shows it.
  static CPixelGrid Capture(HWND hWindow);
  // The text a clock showing this time reads as.
  static std::wstring TextOf(const SYSTEMTIME& time);

private:
  struct Strips {
    CDigitStrip large;
    CDigitStrip small;
  };

  static bool Found(const Strips& strips);
  const Strips& StripsOf(ClockKind kind) const;

  Strips m_local;
  Strips m_server;
  int m_nPercent;
  bool m_bLoaded = false;
};
