#include "tests/wine/ui/ProcessWindows.h"

#include "tests/wine/ui/Deadline.h"
#include "tests/wine/ui/DialogView.h"

namespace {
struct Search {
  DWORD nProcessId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(hWnd, &owner);
  const bool wanted = search->nProcessId == CProcessWindows::kAnyProcess || owner == search->nProcessId;
  if (wanted && ::IsWindowVisible(hWnd)) search->found.push_back(hWnd);
  return TRUE;
}
}  // namespace

CProcessWindows::CProcessWindows(DWORD nProcessId) : m_nProcessId(nProcessId) {}

std::vector<HWND> CProcessWindows::All() const {
  Search search{m_nProcessId, {}};
  ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND CProcessWindows::Find(const std::wstring& caption, int nChildId) const {
  for (HWND hWnd : All()) {
    const CDialogView window(hWnd);
    if (window.Caption() == caption && window.Control(nChildId)) return hWnd;
  }
  return nullptr;
}

HWND CProcessWindows::WaitFor(const std::wstring& caption, int nChildId, DWORD nMilliseconds) const {
  HWND found = nullptr;
  CDeadline::Await([&] { return (found = Find(caption, nChildId)) != nullptr; }, nMilliseconds);
  return found;
}
