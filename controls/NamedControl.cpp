#include "controls/NamedControl.h"

// Only the name is the owner's: no value or role of its own.
CNamedControl::CNamedControl() : m_accessible({[this] { return m_strAccessibleName; }, {}, 0}) {}

BEGIN_MESSAGE_MAP(CNamedControl, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

void CNamedControl::SetAccessibleName(const CString& name) {
  m_strAccessibleName = name;
}

LRESULT CNamedControl::OnGetObject(WPARAM flags, LPARAM objectId) {
  LRESULT result = 0;
  return m_accessible.Serve(m_hWnd, flags, objectId, result) ? result : Default();
}
