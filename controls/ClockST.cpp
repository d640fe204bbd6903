#include "controls/ClockST.h"

#include "framework/PaintDC.h"
#include "framework/WinApp.h"

namespace {
constexpr int kLoaded = 0;
constexpr int kImageMissing = 1;
constexpr int kCreateFailed = -1;
}  // namespace

BEGIN_MESSAGE_MAP(CClockST, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_CLOCK_TICK, OnClockTick)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_TIMER()
END_MESSAGE_MAP()

CClockST::CClockST() = default;

CClockST::~CClockST() {
  ReleaseImages();
}

int CClockST::LoadClockImages(WORD faceId, WORD largeDigitsId, WORD smallDigitsId,
                              int dateOrder) {
  ReleaseImages();
  const bool smallLoaded = LoadBitmapResource(m_bmpSmallDigits, smallDigitsId);
  const bool largeLoaded = LoadBitmapResource(m_bmpLargeDigits, largeDigitsId);
  const bool faceLoaded = LoadBitmapResource(m_bmpFace, faceId);
  if (!smallLoaded || !largeLoaded || !faceLoaded) {
    ReleaseImages();
    return kImageMissing;
  }
  m_bmpFace.GetBitmap(&m_bmFace);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_bmFace.bmWidth, m_bmFace.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER);
  m_face.SetDateOrder(dateOrder);
  return kLoaded;
}

void CClockST::SetServerOffset(CTickSpan offset) {
  m_time.SetServerOffset(offset);
}

void CClockST::OnPaint() {
  CPaintDC dc(this);
  if (!HasImages()) {
    PaintBlack(dc);
    return;
  }
  MakeSurface(m_faceSurface, m_bmpFace, &dc);
  MakeSurface(m_largeDigitsSurface, m_bmpLargeDigits, &dc);
  MakeSurface(m_smallDigitsSurface, m_bmpSmallDigits, &dc);
  ComposeCells();
  dc.BitBlt(0, 0, m_bmFace.bmWidth, m_bmFace.bmHeight, &m_faceSurface.dc, 0, 0, SRCCOPY);
}

BOOL CClockST::OnEraseBkgnd(HDC) {
  return TRUE;
}

LRESULT CClockST::OnClockTick(WPARAM wParam, LPARAM) {
  const SYSTEMTIME localTime = *reinterpret_cast<const SYSTEMTIME*>(wParam);
  RenderDigits(m_time.Tick(localTime, m_bServerClock));
  return 0;
}

int CClockST::OnCreate(LPCREATESTRUCTW) {
  return Default() == kCreateFailed ? kCreateFailed : 0;
}

void CClockST::RenderDigits(const CTickTime& shownTime) {
  m_face.RenderDigits(shownTime);
  if (::IsWindow(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CClockST::HasImages() const {
  return m_bmpFace.m_hObject != nullptr;
}

void CClockST::PaintBlack(CDC& dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  ::PatBlt(dc, 0, 0, client.right, client.bottom, BLACKNESS);
}

void CClockST::MakeSurface(ClockSurface& surface, const CBitmap& image, CDC* paintDC) {
  if (surface.bMade) return;
  surface.dc.CreateCompatibleDC(paintDC);
  surface.hDisplaced = surface.dc.SelectObject(&image);
  surface.bMade = TRUE;
}

// Copies each cell's digit out of its strip onto the face surface; a cell
// without a digit is filled black instead.
void CClockST::ComposeCells() {
  for (int i = 0; i < CClockFace::kCellCount; ++i) {
    const CClockFace::Cell& cell = CClockFace::kCells[i];
    const CClockFace::CellSize size = CClockFace::SizeOf(cell.strip);
    const uint8_t digit = m_face.GetDigit(i);
    if (digit == CClockFace::kBlank) {
      ::PatBlt(m_faceSurface.dc, cell.x, cell.y, size.width, size.height, BLACKNESS);
      continue;
    }
    ClockSurface& strip =
        cell.strip == CClockFace::Strip::Large ? m_largeDigitsSurface : m_smallDigitsSurface;
    m_faceSurface.dc.BitBlt(cell.x, cell.y, size.width, size.height, &strip.dc,
                            digit * size.width, 0, SRCCOPY);
  }
}

void CClockST::ReleaseImages() {
  ReleaseSurface(m_faceSurface);
  ReleaseSurface(m_largeDigitsSurface);
  ReleaseSurface(m_smallDigitsSurface);
  m_bmpFace.DeleteObject();
  m_bmpLargeDigits.DeleteObject();
  m_bmpSmallDigits.DeleteObject();
}

void CClockST::ReleaseSurface(ClockSurface& surface) {
  if (!surface.bMade) return;
  surface.dc.SelectObject(surface.hDisplaced);
  surface.dc.DeleteDC();
  surface.hDisplaced = nullptr;
  surface.bMade = FALSE;
}

bool CClockST::LoadBitmapResource(CBitmap& image, WORD id) {
  return image.Attach(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0,
                                   0, LR_CREATEDIBSECTION));
}
