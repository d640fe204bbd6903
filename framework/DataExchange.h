#pragma once
class CWnd;

// Context of a dialog's data exchange.
class CDataExchange {
public:
  CDataExchange(CWnd* dialog, bool saveAndValidate)
      : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

  CWnd* m_pDlgWnd;
  bool m_bSaveAndValidate;
};

// Binds the dialog's child control with this id to the control object.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
