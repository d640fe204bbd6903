#pragma once
#include <windows.h>

#include <string>

// A message box that the program under test shows.
class CMessageBoxView {
public:
  // The box of the process with the program's caption; null when none
  // comes in time.
  static HWND WaitFor(DWORD nProcessId, DWORD nMilliseconds);
  // The box shown now; null when there is none.
  static HWND Find(DWORD nProcessId);

  explicit CMessageBoxView(HWND hWnd);

  std::wstring Text() const;
  // Clicks one of its buttons.
  void Press(int nButtonId = IDOK) const;
  // The button that Enter presses.
  int DefaultButton() const;

private:
  HWND m_hWnd;
};
