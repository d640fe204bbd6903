#include "tests/wine/ui/PixelGrid.h"

#include <fstream>

namespace {
constexpr WORD kBitsPerPixel = 32;
constexpr WORD kBmpSignature = 0x4D42;  // "BM"
constexpr uint32_t kColourMask = 0x00FFFFFF;
}  // namespace

CPixelGrid::CPixelGrid(int nWidth, int nHeight)
    : m_nWidth(nWidth), m_nHeight(nHeight), m_arrPixels(static_cast<size_t>(nWidth) * nHeight) {}

BITMAPINFO CPixelGrid::Format() const {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = m_nWidth;
  info.bmiHeader.biHeight = -m_nHeight;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = kBitsPerPixel;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

CPixelGrid CPixelGrid::FromScreen(const RECT& area) {
  CPixelGrid grid(area.right - area.left, area.bottom - area.top);
  const BITMAPINFO info = grid.Format();
  void* bits = nullptr;
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  const HBITMAP section = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section) {
    const HGDIOBJ previous = ::SelectObject(memory, section);
    ::BitBlt(memory, 0, 0, grid.m_nWidth, grid.m_nHeight, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < grid.m_arrPixels.size(); ++i) grid.m_arrPixels[i] = pixels[i] & kColourMask;
    ::SelectObject(memory, previous);
    ::DeleteObject(section);
  }
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return grid;
}

CPixelGrid CPixelGrid::FromBitmap(HBITMAP hBitmap) {
  BITMAP description{};
  ::GetObjectW(hBitmap, sizeof(description), &description);
  CPixelGrid grid(description.bmWidth, description.bmHeight);
  BITMAPINFO info = grid.Format();
  const HDC screen = ::GetDC(nullptr);
  ::GetDIBits(screen, hBitmap, 0, grid.m_nHeight, grid.m_arrPixels.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  for (uint32_t& pixel : grid.m_arrPixels) pixel &= kColourMask;
  return grid;
}

CPixelGrid CPixelGrid::Crop(const RECT& area) const {
  CPixelGrid part(area.right - area.left, area.bottom - area.top);
  for (int y = 0; y < part.m_nHeight; ++y) {
    for (int x = 0; x < part.m_nWidth; ++x) {
      part.m_arrPixels[static_cast<size_t>(y) * part.m_nWidth + x] = At(area.left + x, area.top + y);
    }
  }
  return part;
}

bool CPixelGrid::SaveBmp(const std::filesystem::path& path) const {
  const BITMAPINFO info = Format();
  const DWORD imageSize = static_cast<DWORD>(m_arrPixels.size() * sizeof(uint32_t));
  BITMAPFILEHEADER header{};
  header.bfType = kBmpSignature;
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageSize;
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(&header), sizeof(header));
  file.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
  file.write(reinterpret_cast<const char*>(m_arrPixels.data()), imageSize);
  return file.good();
}
