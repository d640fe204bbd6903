#pragma once
#include "framework/GdiObject.h"

class CBitmap : public CGdiObject {
public:
  int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};
