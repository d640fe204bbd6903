#pragma once
#include "framework/GdiObject.h"

class CFont : public CGdiObject {
public:
  BOOL CreateFontIndirect(const LOGFONTW* logFont) { return Attach(::CreateFontIndirectW(logFont)); }
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};
