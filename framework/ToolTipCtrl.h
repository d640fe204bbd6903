#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

// A tooltip window; its tools are windows of the program.
class CToolTipCtrl : public CWnd {
public:
  ~CToolTipCtrl() override { DestroyWindow(); }

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // The tool's mouse messages reach the tooltip only through RelayEvent.
  BOOL AddTool(CWnd* pWnd, LPCWSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool);
  void UpdateTipText(LPCWSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool);
  // Passes a mouse message of a tool on, so the tooltip can show or hide.
  void RelayEvent(MSG* msg);

private:
  TTTOOLINFOW ToolInfo(CWnd* pWnd, UINT_PTR nIDTool, LPCWSTR lpszText) const;
};
