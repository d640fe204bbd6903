#include "controls/ClockST.h"

#include "framework/PaintDC.h"
#include "framework/SystemFunction.h"
#include "framework/WinApp.h"

namespace {
constexpr int kLoaded = 0;
constexpr int kImageMissing = 1;
const wchar_t kNoTimeYet[] = L"Not known yet";
constexpr int kSpokenPartChars = 128;

using WindowDpiQuery = UINT(WINAPI*)(HWND);

// The window's DPI: GetDpiForWindow where the system has it (Windows 10
// 1607 and later), else the screen's.
UINT DpiOf(HWND window) {
  static const auto query = SystemFunction<WindowDpiQuery>(L"user32.dll", "GetDpiForWindow");
  if (query) return query(window);
  const HDC screen = ::GetDC(nullptr);
  const UINT dpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSX));
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

// A valid time in the user's long date format and time format.
CString SpokenDateTime(const CTickTime& time) {
  SYSTEMTIME calendar{};
  calendar.wYear = static_cast<WORD>(time.GetYear());
  calendar.wMonth = static_cast<WORD>(time.GetMonth());
  calendar.wDay = static_cast<WORD>(time.GetDay());
  calendar.wHour = static_cast<WORD>(time.GetHour());
  calendar.wMinute = static_cast<WORD>(time.GetMinute());
  calendar.wSecond = static_cast<WORD>(time.GetSecond());
  wchar_t date[kSpokenPartChars] = {};
  wchar_t clock[kSpokenPartChars] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &calendar, nullptr, date, kSpokenPartChars);
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &calendar, nullptr, clock, kSpokenPartChars);
  return CString(date) + L" " + clock;
}
}  // namespace

BEGIN_MESSAGE_MAP(CClockST, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_CLOCK_TICK, OnClockTick)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CClockST::CClockST()
    : m_accessible({[this] { return m_strAccessibleName; }, [this] { return SpokenTime(); },
                    ROLE_SYSTEM_STATICTEXT}) {}

CClockST::~CClockST() {
  ReleaseImages();
}

int CClockST::LoadClockImages(WORD faceId, WORD largeDigitsId, WORD smallDigitsId,
                              int dateOrder) {
  m_imageIds = {faceId, largeDigitsId, smallDigitsId};
  const int result = LoadImagesFor(DpiOf(m_hWnd));
  if (result == kLoaded) m_face.SetDateOrder(dateOrder);
  return result;
}

int CClockST::SetDpi(UINT dpi) {
  return LoadImagesFor(dpi);
}

// The images of the scale that fits the DPI, the control resized to its
// face; on failure the control holds no images and keeps its size.
int CClockST::LoadImagesFor(UINT dpi) {
  ReleaseImages();
  const int scaleIndex = CClockFace::ScaleIndexFor(dpi);
  const int idOffset = CClockFace::kResourceIdsPerScale * scaleIndex;
  const bool smallLoaded = LoadBitmapResource(m_bmpSmallDigits, m_imageIds.smallDigits + idOffset);
  const bool largeLoaded = LoadBitmapResource(m_bmpLargeDigits, m_imageIds.largeDigits + idOffset);
  const bool faceLoaded = LoadBitmapResource(m_bmpFace, m_imageIds.face + idOffset);
  if (!smallLoaded || !largeLoaded || !faceLoaded) {
    ReleaseImages();
    return kImageMissing;
  }
  m_nScale = CClockFace::kScales[scaleIndex];
  m_bmpFace.GetBitmap(&m_bmFace);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_bmFace.bmWidth, m_bmFace.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER);
  return kLoaded;
}

void CClockST::SetServerOffset(CTickSpan offset) {
  m_time.SetServerOffset(offset);
}

void CClockST::SetAccessibleName(const CString& name) {
  m_strAccessibleName = name;
}

LRESULT CClockST::OnGetObject(WPARAM flags, LPARAM objectId) {
  LRESULT result = 0;
  return m_accessible.Serve(m_hWnd, flags, objectId, result) ? result : Default();
}

// A clock that has no time to show says so, rather than read out its zeros.
CString CClockST::SpokenTime() const {
  const CTickTime& shown = m_time.GetShownTime();
  if (!m_time.HasTime() || shown.GetStatus() != TickStatus::Valid) return kNoTimeYet;
  return SpokenDateTime(shown);
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
    const CClockFace::Placement cell = CClockFace::PlaceOf(i, m_nScale);
    const uint8_t digit = m_face.GetDigit(i);
    if (digit == CClockFace::kBlank) {
      ::PatBlt(m_faceSurface.dc, cell.x, cell.y, cell.width, cell.height, BLACKNESS);
      continue;
    }
    ClockSurface& strip =
        cell.strip == CClockFace::Strip::Large ? m_largeDigitsSurface : m_smallDigitsSurface;
    m_faceSurface.dc.BitBlt(cell.x, cell.y, cell.width, cell.height, &strip.dc,
                            digit * cell.width, 0, SRCCOPY);
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

bool CClockST::LoadBitmapResource(CBitmap& image, int id) {
  return image.Attach(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0,
                                   0, LR_CREATEDIBSECTION));
}
