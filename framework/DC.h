#pragma once
#include <windows.h>

#include "framework/Object.h"

class CBitmap;

// A device context; one made with CreateCompatibleDC is deleted with it.
class CDC : public CObject {
public:
  CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  ~CDC() override { DeleteDC(); }

  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();
  // Selects the bitmap and returns the one it displaced.
  HGDIOBJ SelectObject(const CBitmap* bitmap);
  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
              DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source->m_hDC, xSource, ySource, rop);
  }
  operator HDC() const { return m_hDC; }

  HDC m_hDC = nullptr;

private:
  bool m_bOwned = false;
};
