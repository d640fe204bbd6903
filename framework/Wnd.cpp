#include "framework/Wnd.h"

namespace {
const wchar_t kObjectProperty[] = L"Movrane.CWnd";
}

// A window that outlives its object keeps running with its own procedure.
CWnd::~CWnd() {
  if (m_hWnd) Unsubclass();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  return hwnd ? static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
  m_hWnd = hwnd;
  ::SetPropW(hwnd, kObjectProperty, this);
  PreSubclassWindow();
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProc)));
  return TRUE;
}

void CWnd::Unsubclass() {
  ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  ::RemovePropW(m_hWnd, kObjectProperty);
  m_pfnSuper = nullptr;
  m_hWnd = nullptr;
}

BOOL CWnd::DestroyWindow() {
  return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
  return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND top, MSG* msg) {
  for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
    if (hwnd == top) break;
  }
  return FALSE;
}

CString CWnd::GetWindowText() const {
  CString text(::GetWindowTextLengthW(m_hWnd) + 1, L'\0');
  text.resize(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size())));
  return text;
}

void CWnd::SetWindowText(LPCWSTR text) {
  ::SetWindowTextW(m_hWnd, text);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return ReflectToChild(message, wParam, lParam, result);
}

// A static control's colour request and a child's command notification go
// back to the child's own object, when it has one.
bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_CTLCOLORSTATIC && message != WM_COMMAND) return false;
  CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
  return child && child->OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, result);
}

LRESULT CWnd::Default() {
  if (!m_pCurrentMsg) return 0;
  return CallPrevious(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWnd::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = FromHandlePermanent(hwnd);
  if (!wnd) return ::DefWindowProcW(hwnd, message, wParam, lParam);

  const MSG current{hwnd, message, wParam, lParam, 0, {0, 0}};
  const MSG* outer = wnd->m_pCurrentMsg;
  wnd->m_pCurrentMsg = &current;
  LRESULT result = 0;
  if (!wnd->OnWndMsg(message, wParam, lParam, result)) {
    result = wnd->CallPrevious(message, wParam, lParam);
  }
  wnd->m_pCurrentMsg = outer;

  if (message == WM_NCDESTROY) wnd->Unsubclass();
  return result;
}
