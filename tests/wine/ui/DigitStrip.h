#pragma once
#include "tests/wine/ui/PixelGrid.h"

// A strip of ten digit cells, 0 to 9 from left to right, against which
// the cells of a picture are read.
class CDigitStrip {
public:
  static constexpr wchar_t kBlank = L' ';
  static constexpr wchar_t kUnknown = L'?';

  explicit CDigitStrip(CPixelGrid strip);

  int CellWidth() const { return m_strip.Width() / kDigits; }
  int CellHeight() const { return m_strip.Height(); }

  // The digit in the cell of the picture at (nLeft, nTop): the nearest
  // cell of the strip if it differs in only a few pixels; kBlank for a
  // black cell; kUnknown otherwise.
  wchar_t Read(const CPixelGrid& picture, int nLeft, int nTop) const;

private:
  static constexpr int kDigits = 10;

  int Mismatches(int nDigit, const CPixelGrid& picture, int nLeft, int nTop) const;
  bool IsBlack(const CPixelGrid& picture, int nLeft, int nTop) const;

  CPixelGrid m_strip;
};
