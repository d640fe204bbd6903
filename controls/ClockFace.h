#pragma once
#include <array>
#include <cstdint>

#include "ticktime/TickTime.h"

// The fourteen digit cells of a clock face: the strip each one is copied
// from, where it goes on the face, and the digit it shows.
class CClockFace {
public:
  enum class Strip { Large, Small };
  struct Cell {
    Strip strip;
    int x;
    int y;
  };
  struct CellSize {
    int width;
    int height;
  };

  static constexpr int kCellCount = 14;
  static constexpr int kDigitCount = 10;
  // The index of a cell without a digit; it has no place in the strips
  // and shows black.
  static constexpr uint8_t kBlank = kDigitCount;

  static const std::array<Cell, kCellCount> kCells;
  static CellSize SizeOf(Strip strip);

  // 1 puts the day in the middle pair of the date row and the month on the
  // right; anything else the month in the middle and the day on the right.
  void SetDateOrder(int dateOrder);
  // An Invalid time's fields are -1: their minus signs show blank and
  // their digits as digits.
  void RenderDigits(const CTickTime& time);
  // 0..9, or kBlank.
  uint8_t GetDigit(int cell) const;

private:
  int m_nDateOrder = 0;
  std::array<uint8_t, kCellCount> m_arrDigits{};
};
