#include "framework/DC.h"

#include "framework/Bitmap.h"

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  DeleteDC();
  m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
  m_bOwned = m_hDC != nullptr;
  return m_bOwned;
}

BOOL CDC::DeleteDC() {
  if (!m_bOwned) return FALSE;
  const BOOL deleted = ::DeleteDC(m_hDC);
  m_hDC = nullptr;
  m_bOwned = false;
  return deleted;
}

HGDIOBJ CDC::SelectObject(const CBitmap* bitmap) {
  return ::SelectObject(m_hDC, bitmap->m_hObject);
}
