#pragma once
#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/wine/ui/DigitStrip.h"

enum class ClockKind { Local, Server };

// What both clocks of the main dialog show, read within one second of
// local time.
struct ClockReading {
  SYSTEMTIME time;  // local time while the screen was read
  std::wstring local;
  std::wstring server;
};

// Reads the date and time that a clock control shows on the screen, as
// "YYYY-MM-DD HH:MM SS", by matching its fourteen digit cells against the
// digit strips in the resources of the program under test. A blank cell
// reads as a space, a cell that matches no digit as '?'.
class CClockReader {
public:
  explicit CClockReader(const std::filesystem::path& program);

  // Whether all four digit strips were found in the program.
  bool Loaded() const { return m_bLoaded; }

  std::wstring Read(HWND hClock, ClockKind kind) const;
  std::wstring Read(const CPixelGrid& face, ClockKind kind) const;
  // Both clocks of the dialog, read in the middle of a second, well clear
  // of the tick.
  ClockReading ReadDialogClocks(HWND hDialog) const;

  // The client area of the clock control as the screen shows it.
  static CPixelGrid Capture(HWND hClock);
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
  bool m_bLoaded = false;
};
