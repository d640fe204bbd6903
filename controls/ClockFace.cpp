#include "controls/ClockFace.h"

#include <cstdio>

namespace {

constexpr int kDayInMiddleOrder = 1;
constexpr unsigned kDpiAt100 = 96;
constexpr size_t kTextSize = 15;
using Text = std::array<char, kTextSize>;

// The text characters that cells 0 to 5 show: hours, minutes, seconds.
constexpr std::array<int, 6> kTimeCharOfCell{0, 1, 3, 4, 6, 7};
// The text characters that cells 6 to 13 show: year, middle pair, right pair.
constexpr std::array<int, 8> kDateCharOfCell{6, 7, 8, 9, 3, 4, 0, 1};
constexpr int kFirstDateCell = static_cast<int>(kTimeCharOfCell.size());

Text TimeText(const CTickTime& time) {
  Text text{};
  std::snprintf(text.data(), text.size(), "%02d:%02d:%02d", time.GetHour(), time.GetMinute(),
                time.GetSecond());
  return text;
}

Text DateText(const CTickTime& time, bool dayInMiddle) {
  const int middle = dayInMiddle ? time.GetDay() : time.GetMonth();
  const int left = dayInMiddle ? time.GetMonth() : time.GetDay();
  Text text{};
  std::snprintf(text.data(), text.size(), "%02d-%02d-%04d", left, middle, time.GetYear());
  return text;
}

uint8_t DigitOf(char c) {
  return c >= '0' && c <= '9' ? static_cast<uint8_t>(c - '0') : CClockFace::kBlank;
}

}  // namespace

const std::array<CClockFace::Cell, CClockFace::kCellCount> CClockFace::kCells{{
    {Strip::Large, 5, 33},
    {Strip::Large, 32, 33},
    {Strip::Large, 65, 33},
    {Strip::Large, 92, 33},
    {Strip::Small, 120, 50},
    {Strip::Small, 134, 50},
    {Strip::Small, 5, 5},
    {Strip::Small, 19, 5},
    {Strip::Small, 33, 5},
    {Strip::Small, 47, 5},
    {Strip::Small, 77, 5},
    {Strip::Small, 91, 5},
    {Strip::Small, 119, 5},
    {Strip::Small, 133, 5},
}};

CClockFace::CellSize CClockFace::SizeOf(Strip strip) {
  return strip == Strip::Large ? CellSize{24, 34} : CellSize{12, 17};
}

int CClockFace::ScaleIndexFor(unsigned dpi) {
  int index = 0;
  while (index + 1 < static_cast<int>(kScales.size()) && kScales[index + 1] * kDpiAt100 <= dpi * 100) ++index;
  return index;
}

int CClockFace::Scaled(int length, int percent) {
  return (length * percent + 50) / 100;
}

CClockFace::Placement CClockFace::PlaceOf(int cell, int percent) {
  const Cell& place = kCells[cell];
  const CellSize size = SizeOf(place.strip);
  return {place.strip, Scaled(place.x, percent), Scaled(place.y, percent), Scaled(size.width, percent),
          Scaled(size.height, percent)};
}

void CClockFace::SetDateOrder(int dateOrder) {
  m_nDateOrder = dateOrder;
}

void CClockFace::RenderDigits(const CTickTime& time) {
  const Text timeText = TimeText(time);
  const Text dateText = DateText(time, m_nDateOrder == kDayInMiddleOrder);
  for (size_t i = 0; i < kTimeCharOfCell.size(); ++i) {
    m_arrDigits[i] = DigitOf(timeText[kTimeCharOfCell[i]]);
  }
  for (size_t i = 0; i < kDateCharOfCell.size(); ++i) {
    m_arrDigits[kFirstDateCell + i] = DigitOf(dateText[kDateCharOfCell[i]]);
  }
}

uint8_t CClockFace::GetDigit(int cell) const {
  return m_arrDigits[cell];
}
