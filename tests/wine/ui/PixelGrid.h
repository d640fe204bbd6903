#pragma once
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

// A picture as rows of 0x00RRGGBB pixels, top row first.
class CPixelGrid {
public:
  CPixelGrid(int nWidth, int nHeight);

  // What the screen shows in this area.
  static CPixelGrid FromScreen(const RECT& area);
  static CPixelGrid FromBitmap(HBITMAP hBitmap);

  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  uint32_t At(int x, int y) const { return m_arrPixels[static_cast<size_t>(y) * m_nWidth + x]; }
  // The pixels of an area inside the picture.
  CPixelGrid Crop(const RECT& area) const;

  // A 32-bit BMP file, for looking at what a failed test saw.
  bool SaveBmp(const std::filesystem::path& path) const;

private:
  BITMAPINFO Format() const;

  int m_nWidth;
  int m_nHeight;
  std::vector<uint32_t> m_arrPixels;
};
