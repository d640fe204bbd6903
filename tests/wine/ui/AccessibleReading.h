#pragma once
#include <windows.h>

#include <string>

// What a screen reader reads of a window, possibly of another process:
// the name and the value of its client area's accessible object.
struct AccessibleReading {
  std::wstring name;
  std::wstring value;
};

// Empty when the window has no accessible object.
AccessibleReading ReadAccessible(HWND hWnd);
