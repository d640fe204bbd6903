#pragma once
#include <windows.h>
#include <oleacc.h>

// The calls that serve screen readers: the system's accessibility library,
// loaded from the system directory at the first request of a screen
// reader, so that a run without one loads none of it; COM itself is
// imported, as everywhere in the program. The library stays loaded, and
// the requesting thread's COM apartment open, until the process ends: a
// screen reader may release the objects it was given at any time before.
class CAccessibilityLibrary {
public:
  // The library, on the thread that owns the windows; null when it cannot
  // be loaded.
  static const CAccessibilityLibrary* Get();

  decltype(&::CreateStdAccessibleObject) CreateStdAccessibleObject = nullptr;
  decltype(&::LresultFromObject) LresultFromObject = nullptr;

private:
  CAccessibilityLibrary();
  bool Loaded() const;
};
