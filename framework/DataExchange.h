#pragma once
class CWnd;

// Context of a dialog's data exchange.
class CDataExchange {
public:
  explicit CDataExchange(CWnd* dialog) : m_pDlgWnd(dialog) {}

  CWnd* m_pDlgWnd;
};

// Binds the dialog's child control with this id to the control object.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
