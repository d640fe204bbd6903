#include "tests/wine/ui/DialogView.h"

#include <vector>

namespace {
constexpr UINT kAnswerTimeoutMs = 5000;
}  // namespace

CDialogView::CDialogView(HWND hWnd) : m_hWnd(hWnd) {}

std::wstring CDialogView::Caption() const {
  return WindowText(m_hWnd);
}

RECT CDialogView::WindowRect() const {
  RECT rect{};
  ::GetWindowRect(m_hWnd, &rect);
  return rect;
}

HWND CDialogView::Control(int nId) const {
  return ::GetDlgItem(m_hWnd, nId);
}

std::wstring CDialogView::Text(int nId) const {
  const HWND control = Control(nId);
  return control ? WindowText(control) : std::wstring();
}

RECT CDialogView::ControlRect(int nId) const {
  RECT rect{};
  ::GetWindowRect(Control(nId), &rect);
  return rect;
}

int CDialogView::FocusedId() const {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(m_hWnd, nullptr), &thread)) return 0;
  return ::IsChild(m_hWnd, thread.hwndFocus) ? ::GetDlgCtrlID(thread.hwndFocus) : 0;
}

// The text may change between asking its length and reading it: a text
// that fills the buffer is read again with room for one more character, so
// that a longer one never comes back cut.
std::wstring CDialogView::WindowText(HWND hWnd) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &length)) {
    return std::wstring();
  }
  for (;;) {
    std::vector<wchar_t> buffer(length + 2);
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(hWnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                               SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied)) {
      return std::wstring();
    }
    if (copied < buffer.size() - 1) return std::wstring(buffer.data(), copied);
    length = 2 * buffer.size();
  }
}
