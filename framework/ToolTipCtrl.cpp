#include <windows.h>
#include <commctrl.h>

#include "framework/ToolTipCtrl.h"

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&classes);
  // Bound to this object, so that it forgets the window when its owner
  // destroys it.
  return SubclassWindow(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                          CW_USEDEFAULT, pParentWnd->m_hWnd, nullptr, nullptr,
                                          nullptr));
}

TTTOOLINFOW CToolTipCtrl::ToolInfo(CWnd* pWnd, UINT_PTR nIDTool, LPCWSTR lpszText) const {
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = pWnd->m_hWnd;
  info.uId = nIDTool;
  info.lpszText = const_cast<LPWSTR>(lpszText);
  return info;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCWSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TTTOOLINFOW info = ToolInfo(pWnd, nIDTool, lpszText);
  if (lpRectTool) info.rect = *lpRectTool;
  return static_cast<BOOL>(::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::UpdateTipText(LPCWSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOW info = ToolInfo(pWnd, nIDTool, lpszText);
  ::SendMessageW(m_hWnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
  ::SendMessageW(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}
