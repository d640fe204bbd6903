#pragma once
#include "framework/Font.h"
#include "framework/Static.h"
#include "framework/ToolTipCtrl.h"

// A static text control of a dialog that acts as a web-style link: link
// colours (the system's in high contrast), an underline by mode, a hand
// cursor, a tooltip with the target, and a click that has the desktop shell
// open the target with the user's normal rights. It is a tab stop with a
// focus rectangle, opened by Enter or Space as by a click. Attached by
// DDX_Control.
class CHyperLink : public CStatic {
public:
  enum UnderlineMode { UnderlineNever = 0, UnderlineAlways = 1, UnderlineOnHover = -1 };

  CHyperLink();
  ~CHyperLink() override;

  void SetLinkTarget(const CString& target);
  void SetUnderlineMode(int mode);
  void SetVisitedState(BOOL visited);
  // Greater than 32 on success, else an error code (controls/LinkOpenText.h).
  int OpenLinkTarget(LPCWSTR target, int showCommand);
  void ReportOpenError(int code);
  void FitToText();
  void LoadHandCursor();

  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* msg) override;

protected:
  void PreSubclassWindow() override;

  HBRUSH CtlColor(HDC dc, UINT ctlColor);
  BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message);
  void OnMouseMove(UINT flags, POINT point);
  void OnTimer(UINT_PTR id);
  void OnClicked();
  BOOL OnEraseBkgnd(HDC dc);
  LRESULT OnGetDlgCode(WPARAM key, LPARAM message);
  LRESULT OnKeyDown(WPARAM key, LPARAM flags);
  LRESULT OnFocusChange(WPARAM, LPARAM);
  void OnPaint();
  DECLARE_MESSAGE_MAP()

private:
  bool HasWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  void CopyFonts();
  void UseFont(const CFont& font);
  SIZE TextExtent() const;
  void EndHover();
  COLORREF TextColour() const;
  void DrawFocusRectangle(HRGN area) const;

  COLORREF m_clrNormal;
  COLORREF m_clrVisited;
  COLORREF m_clrHover;
  BOOL m_bHovering;
  BOOL m_bVisitedState;
  int m_nUnderlineMode;
  BOOL m_bFitToText;
  CString m_strTarget;
  CFont m_fontUnderlined;
  CFont m_fontPlain;
  HCURSOR m_hHandCursor;
  CToolTipCtrl m_tip;
  UINT m_nHoverTimerId;
};
