#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The visible top-level windows of one process, or of every process.
class CProcessWindows {
public:
  static constexpr DWORD kAnyProcess = 0;

  explicit CProcessWindows(DWORD nProcessId);

  std::vector<HWND> All() const;
  // The window with this caption that has a child control with this id;
  // null when there is none.
  HWND Find(const std::wstring& caption, int nChildId) const;
  HWND WaitFor(const std::wstring& caption, int nChildId, DWORD nMilliseconds) const;

private:
  DWORD m_nProcessId;
};
