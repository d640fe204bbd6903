#pragma once
#include <array>
#include <cstdint>

#include "ticktime/TickTime.h"

// The fourteen digit cells of a clock face: the strip each one is copied
// from, where it goes on the face at each display scale, and the digit it
// shows.
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
  struct Placement {
    Strip strip;
    int x;
    int y;
    int width;
    int height;
  };

  // The display scales, in percent, that the clock images are drawn at.
  // The images of scale index k have the resource ids of the 100 % images
  // plus kResourceIdsPerScale * k.
  static constexpr std::array<int, 7> kScales{100, 125, 150, 175, 200, 250, 300};
  static constexpr int kResourceIdsPerScale = 100;
  // The index of the largest scale not above the DPI's (96 DPI is 100 %):
  // an image is never stretched.
  static int ScaleIndexFor(unsigned dpi);
  // A length or position on the 100 % face at a scale, halves rounded up,
  // as the images are drawn.
  static int Scaled(int length, int percent);

  static constexpr int kCellCount = 14;
  static constexpr int kDigitCount = 10;
  // The index of a cell without a digit; it has no place in the strips
  // and shows black.
  static constexpr uint8_t kBlank = kDigitCount;

  // At 100 %.
  static const std::array<Cell, kCellCount> kCells;
  static CellSize SizeOf(Strip strip);
  // Cell `cell` on the face at a scale.
  static Placement PlaceOf(int cell, int percent);

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
