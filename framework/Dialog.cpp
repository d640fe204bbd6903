#include "framework/Dialog.h"

#include <algorithm>

#include "framework/RectSize.h"
#include "framework/WinApp.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

// Without a parent the dialog is owned by the application's main window,
// which it disables while it runs.
HWND CDialog::OwnerWindow() const {
  if (m_pParentWnd) return m_pParentWnd->m_hWnd;
  const CWnd* main = AfxGetApp()->m_pMainWnd;
  return main && main != this && ::IsWindow(main->m_hWnd) ? main->m_hWnd : nullptr;
}

namespace {
// Centres an owned dialog over its owner, inside the owner's monitor.
void CenterOver(HWND dialog, HWND owner) {
  RECT ownerRect;
  RECT dialogRect;
  ::GetWindowRect(owner, &ownerRect);
  ::GetWindowRect(dialog, &dialogRect);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
  const LONG width = Width(dialogRect);
  const LONG height = Height(dialogRect);
  const LONG x = (ownerRect.left + ownerRect.right - width) / 2;
  const LONG y = (ownerRect.top + ownerRect.bottom - height) / 2;
  const RECT& work = monitor.rcWork;
  ::SetWindowPos(dialog, nullptr, std::max(work.left, std::min(x, work.right - width)),
                 std::max(work.top, std::min(y, work.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

INT_PTR CDialog::DoModal() {
  const HWND owner = OwnerWindow();
  const HWND hwnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                                         owner, &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (!hwnd) return -1;

  const bool ownerWasEnabled = owner && !::EnableWindow(owner, FALSE);
  if (owner) CenterOver(hwnd, owner);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  RunModalLoop();
  if (ownerWasEnabled) {
    ::EnableWindow(owner, TRUE);
    ::SetActiveWindow(owner);
  }
  ::DestroyWindow(hwnd);
  return m_nModalResult;
}

void CDialog::RunModalLoop() {
  m_bContinueModal = true;
  MSG msg;
  while (m_bContinueModal) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (!WalkPreTranslateTree(m_hWnd, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bContinueModal = false;
}

void CDialog::GotoDlgCtrl(HWND hControl) {
  ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hControl), TRUE);
}

BOOL CDialog::OnInitDialog() {
  CDataExchange exchange(this);
  DoDataExchange(&exchange);
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  return ::IsDialogMessageW(m_hWnd, msg);
}

// The dialog manager's procedure only starts the object: the window is
// bound to it at WM_INITDIALOG, and from then on its message map runs.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = reinterpret_cast<CDialog*>(lParam);
  dialog->SubclassWindow(hwnd);
  return dialog->OnInitDialog();
}
