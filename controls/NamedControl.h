#pragma once
#include "controls/AccessibleServer.h"
#include "framework/Wnd.h"

// A control that screen readers know by a name its owner gives: for a
// control without a label in front of it to take its name from. The rest
// of what they read is the system's.
class CNamedControl : public CWnd {
public:
  CNamedControl();

  void SetAccessibleName(const CString& name);

protected:
  LRESULT OnGetObject(WPARAM flags, LPARAM objectId);
  DECLARE_MESSAGE_MAP()

private:
  CString m_strAccessibleName;
  CAccessibleServer m_accessible;
};
