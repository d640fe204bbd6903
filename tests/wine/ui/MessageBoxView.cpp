#include "tests/wine/ui/MessageBoxView.h"

#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProcessWindows.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/UserInput.h"

namespace {
// The id of a message box's text.
constexpr int kTextId = 0xFFFF;
}  // namespace

HWND CMessageBoxView::WaitFor(DWORD nProcessId, DWORD nMilliseconds) {
  return CProcessWindows(nProcessId).WaitFor(CProgramRun::kCaption, kTextId, nMilliseconds);
}

HWND CMessageBoxView::Find(DWORD nProcessId) {
  return CProcessWindows(nProcessId).Find(CProgramRun::kCaption, kTextId);
}

CMessageBoxView::CMessageBoxView(HWND hWnd) : m_hWnd(hWnd) {}

std::wstring CMessageBoxView::Text() const {
  return CDialogView(m_hWnd).Text(kTextId);
}

void CMessageBoxView::Press(int nButtonId) const {
  UserInput::ClickWindow(CDialogView(m_hWnd).Control(nButtonId));
}

int CMessageBoxView::DefaultButton() const {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if ((::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return ::GetDlgCtrlID(child);
  }
  return 0;
}
