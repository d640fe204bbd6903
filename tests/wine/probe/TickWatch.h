#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/ui/ClockReader.h"

// Watches a clock on the screen change from second to second: when each
// change appears, measured from the whole second of local time, and
// whether each step is exactly one second.
class CTickWatch {
public:
  struct Result {
    int nSteps = 0;
    int nSkipped = 0;     // seconds that never showed
    int nRepeated = 0;    // seconds that showed twice, or again later
    int nUnreadable = 0;  // readings with a cell that matched no digit
    std::vector<int> arrPhasesMs;
  };

  CTickWatch(HWND hClock, const CClockReader& reader);

  Result Watch(DWORD nSeconds);

private:
  struct Change {
    std::wstring text;
    ULONGLONG nTick;  // when it appeared
  };

  std::wstring Read() const;
  // Polls until the clock shows something other than shown; the local
  // time at that moment.
  SYSTEMTIME AwaitChange(const std::wstring& shown, ULONGLONG nGiveUpTick) const;
  static void Count(const Change& before, const Change& after, Result& result);

  HWND m_hClock;
  const CClockReader& m_reader;
};
