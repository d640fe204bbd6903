#include "tests/wine/ui/DigitStrip.h"

#include <utility>

namespace {
// A cell may differ from its digit in this share of its pixels.
constexpr int kToleratedMismatchesPer = 50;
constexpr uint32_t kBlack = 0;
}  // namespace

CDigitStrip::CDigitStrip(CPixelGrid strip) : m_strip(std::move(strip)) {}

wchar_t CDigitStrip::Read(const CPixelGrid& picture, int nLeft, int nTop) const {
  if (nLeft < 0 || nTop < 0 || nLeft + CellWidth() > picture.Width() ||
      nTop + CellHeight() > picture.Height()) {
    return kUnknown;
  }
  if (IsBlack(picture, nLeft, nTop)) return kBlank;
  int best = 0;
  int bestMismatches = Mismatches(0, picture, nLeft, nTop);
  for (int digit = 1; digit < kDigits; ++digit) {
    const int mismatches = Mismatches(digit, picture, nLeft, nTop);
    if (mismatches < bestMismatches) {
      best = digit;
      bestMismatches = mismatches;
    }
  }
  const int tolerated = CellWidth() * CellHeight() / kToleratedMismatchesPer;
  return bestMismatches <= tolerated ? static_cast<wchar_t>(L'0' + best) : kUnknown;
}

int CDigitStrip::Mismatches(int nDigit, const CPixelGrid& picture, int nLeft, int nTop) const {
  int mismatches = 0;
  const int cellLeft = nDigit * CellWidth();
  for (int y = 0; y < CellHeight(); ++y) {
    for (int x = 0; x < CellWidth(); ++x) {
      if (m_strip.At(cellLeft + x, y) != picture.At(nLeft + x, nTop + y)) ++mismatches;
    }
  }
  return mismatches;
}

bool CDigitStrip::IsBlack(const CPixelGrid& picture, int nLeft, int nTop) const {
  for (int y = 0; y < CellHeight(); ++y) {
    for (int x = 0; x < CellWidth(); ++x) {
      if (picture.At(nLeft + x, nTop + y) != kBlack) return false;
    }
  }
  return true;
}
