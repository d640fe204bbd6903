#pragma once
#include "framework/DataExchange.h"
#include "framework/Wnd.h"

// A modal dialog built from a dialog template resource. DoModal runs the
// framework's own modal loop, so that the child controls' PreTranslateMessage
// sees their messages.
class CDialog : public CWnd {
public:
  CDialog(UINT nIDTemplate, CWnd* pParentWnd);

  virtual INT_PTR DoModal();
  void EndDialog(int nResult);
  // Moves the focus to the control as Tab does (a push button becomes the
  // default, an edit's text is selected).
  void GotoDlgCtrl(HWND hControl);

protected:
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange*) {}
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  BOOL PreTranslateMessage(MSG* msg) override;

  DECLARE_MESSAGE_MAP()

private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND OwnerWindow() const;
  void RunModalLoop();

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  bool m_bContinueModal = false;
  int m_nModalResult = -1;
};
