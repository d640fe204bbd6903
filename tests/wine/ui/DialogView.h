#pragma once
#include <windows.h>

#include <string>

// What a dialog of another process shows: its caption, its controls and
// their texts and places on the screen.
class CDialogView {
public:
  explicit CDialogView(HWND hWnd);

  HWND Handle() const { return m_hWnd; }
  std::wstring Caption() const;
  RECT WindowRect() const;

  HWND Control(int nId) const;
  std::wstring Text(int nId) const;
  // Screen coordinates.
  RECT ControlRect(int nId) const;
  // The id of the control with the keyboard focus; 0 when none of its
  // controls has it.
  int FocusedId() const;

  // WM_GETTEXT, answered by the window's own thread; "" when it does not
  // answer in time.
  static std::wstring WindowText(HWND hWnd);

private:
  HWND m_hWnd;
};
