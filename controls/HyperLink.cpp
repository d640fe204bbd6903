#include "controls/HyperLink.h"

#include "controls/EdgeFit.h"
#include "controls/LinkOpenText.h"
#include "controls/UnelevatedOpener.h"
#include "framework/RectSize.h"
#include "framework/WinApp.h"

namespace {
constexpr UINT_PTR kToolId = 1;
constexpr UINT kHoverTimerId = 100;
constexpr UINT kHoverPeriodMs = 100;
// The area redrawn when the cursor leaves reaches this far below the control.
constexpr LONG kLeaveRedrawBelow = 10;
// Open results above this mean success.
constexpr int kLastErrorCode = 32;
constexpr WORD kHandCursorId = 106;
const wchar_t kHelpProgram[] = L"\\winhlp32.exe";
// Set in a key message's flags when the key was already down: a repeat.
constexpr LPARAM kKeyWasDown = 1 << 30;

FitAnchor HorizontalAnchor(LONG style) {
  if (style & SS_CENTER) return FitAnchor::Centre;
  if (style & SS_RIGHT) return FitAnchor::End;
  return FitAnchor::Start;
}

FitAnchor VerticalAnchor(LONG style) {
  return (style & SS_CENTERIMAGE) ? FitAnchor::Centre : FitAnchor::Start;
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}
}  // namespace

CHyperLink::CHyperLink()
    : m_clrNormal(RGB(0, 0, 238)),
      m_clrVisited(RGB(85, 26, 139)),
      m_clrHover(RGB(255, 0, 0)),
      m_bHovering(FALSE),
      m_bVisitedState(FALSE),
      m_nUnderlineMode(UnderlineOnHover),
      m_bFitToText(TRUE),
      m_hHandCursor(nullptr),
      m_nHoverTimerId(kHoverTimerId) {}

// The underlined font goes first; the tooltip, the plain font and the
// target follow as members.
CHyperLink::~CHyperLink() {
  m_fontUnderlined.DeleteObject();
  if (m_hHandCursor) ::DestroyIcon(m_hHandCursor);
}

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
  ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
  ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
  ON_MESSAGE(WM_SETFOCUS, OnFocusChange)
  ON_MESSAGE(WM_KILLFOCUS, OnFocusChange)
  ON_WM_PAINT()
END_MESSAGE_MAP()

void CHyperLink::PreSubclassWindow() {
  ::SetWindowLongW(m_hWnd, GWL_STYLE, ::GetWindowLongW(m_hWnd, GWL_STYLE) | SS_NOTIFY | WS_TABSTOP);
  const CString text = GetWindowText();
  if (m_strTarget.empty()) m_strTarget = text;
  if (text.empty()) SetWindowText(m_strTarget.c_str());

  CopyFonts();
  FitToText();
  LoadHandCursor();
  SetUnderlineMode(UnderlineOnHover);

  m_tip.Create(this, 0);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  m_tip.AddTool(this, m_strTarget.c_str(), &client, kToolId);
  CStatic::PreSubclassWindow();
}

// Plain and underlined copies of the control's font, or of a stock font
// when it has none. Without any font the copies stay empty and the control
// draws in the system font.
void CHyperLink::CopyFonts() {
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
  if (!font) font = ::GetStockObject(DEFAULT_GUI_FONT);
  if (!font) font = ::GetStockObject(ANSI_VAR_FONT);
  LOGFONTW logFont;
  if (!font || ::GetObjectW(font, sizeof(logFont), &logFont) != sizeof(logFont)) return;
  m_fontPlain.CreateFontIndirect(&logFont);
  logFont.lfUnderline = TRUE;
  m_fontUnderlined.CreateFontIndirect(&logFont);
}

void CHyperLink::UseFont(const CFont& font) {
  ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), TRUE);
}

void CHyperLink::SetLinkTarget(const CString& target) {
  m_strTarget = target;
  if (!HasWindow()) return;
  FitToText();
  m_tip.UpdateTipText(m_strTarget.c_str(), this, kToolId);
}

void CHyperLink::SetUnderlineMode(int mode) {
  if (mode == m_nUnderlineMode) return;
  if (HasWindow()) {
    UseFont(mode == UnderlineAlways ? m_fontUnderlined : m_fontPlain);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
  }
  m_nUnderlineMode = mode;
}

void CHyperLink::SetVisitedState(BOOL visited) {
  m_bVisitedState = visited;
  if (HasWindow()) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

// Resizes the control to its text; the frame keeps its size, and the
// alignment style says which edges stay in place.
void CHyperLink::FitToText() {
  if (!HasWindow() || !m_bFitToText) return;
  RECT window;
  RECT client;
  ::GetWindowRect(m_hWnd, &window);
  ::GetClientRect(m_hWnd, &client);
  if (const HWND parent = ::GetParent(m_hWnd)) {
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
  }

  const SIZE text = TextExtent();
  const int width = text.cx + Width(window) - Width(client);
  const int height = text.cy + Height(window) - Height(client);
  const LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
  const Edges horizontal = FitEdges({window.left, window.right}, width, HorizontalAnchor(style));
  const Edges vertical = FitEdges({window.top, window.bottom}, height, VerticalAnchor(style));
  ::SetWindowPos(m_hWnd, nullptr, horizontal.start, vertical.start,
                 horizontal.end - horizontal.start, vertical.end - vertical.start, SWP_NOZORDER);
}

// The window text's extent in the underlined font, whatever the mode.
SIZE CHyperLink::TextExtent() const {
  const CString text = GetWindowText();
  SIZE extent{};
  const HDC dc = ::GetDC(m_hWnd);
  const HGDIOBJ previous = ::SelectObject(dc, m_fontUnderlined.m_hObject);
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  ::SelectObject(dc, previous);
  ::ReleaseDC(m_hWnd, dc);
  return extent;
}

// High contrast: the system's link colour, whatever the state.
COLORREF CHyperLink::TextColour() const {
  if (HighContrastOn()) return ::GetSysColor(COLOR_HOTLIGHT);
  if (m_bHovering) return m_clrHover;
  return m_bVisitedState ? m_clrVisited : m_clrNormal;
}

HBRUSH CHyperLink::CtlColor(HDC dc, UINT) {
  ::SetTextColor(dc, TextColour());
  ::SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CHyperLink::OnEraseBkgnd(HDC dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

// Enter opens the link, rather than pressing the dialog's default button.
LRESULT CHyperLink::OnGetDlgCode(WPARAM, LPARAM message) {
  const auto* msg = reinterpret_cast<const MSG*>(message);
  const bool enter = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
  return Default() | (enter ? DLGC_WANTMESSAGE : 0);
}

// Enter and Space open the link as a click does; a held key opens it once.
LRESULT CHyperLink::OnKeyDown(WPARAM key, LPARAM flags) {
  if ((key == VK_RETURN || key == VK_SPACE) && !(flags & kKeyWasDown)) OnClicked();
  return Default();
}

LRESULT CHyperLink::OnFocusChange(WPARAM, LPARAM) {
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  return Default();
}

// The static control draws the text; while the link has the focus, the
// focus rectangle goes around it, within the area being painted.
void CHyperLink::OnPaint() {
  if (::GetFocus() != m_hWnd) {
    Default();
    return;
  }
  const HRGN painted = ::CreateRectRgn(0, 0, 0, 0);
  ::GetUpdateRgn(m_hWnd, painted, FALSE);
  Default();
  DrawFocusRectangle(painted);
  ::DeleteObject(painted);
}

void CHyperLink::DrawFocusRectangle(HRGN area) const {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const HDC dc = ::GetDC(m_hWnd);
  ::SelectClipRgn(dc, area);
  ::DrawFocusRect(dc, &client);
  ::ReleaseDC(m_hWnd, dc);
}

BOOL CHyperLink::OnSetCursor(HWND, UINT, UINT) {
  if (!m_hHandCursor) return FALSE;
  ::SetCursor(m_hHandCursor);
  return TRUE;
}

void CHyperLink::OnMouseMove(UINT, POINT) {
  if (!m_bHovering) {
    m_bHovering = TRUE;
    if (m_nUnderlineMode == UnderlineOnHover) UseFont(m_fontUnderlined);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::SetTimer(m_hWnd, m_nHoverTimerId, kHoverPeriodMs, nullptr);
  }
  Default();
}

// The hover timer's tick: hovering ends once the cursor has left.
void CHyperLink::OnTimer(UINT_PTR) {
  const DWORD position = ::GetMessagePos();
  POINT cursor{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ::ScreenToClient(m_hWnd, &cursor);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (!::PtInRect(&client, cursor)) EndHover();
  Default();
}

void CHyperLink::EndHover() {
  m_bHovering = FALSE;
  ::KillTimer(m_hWnd, m_nHoverTimerId);
  if (m_nUnderlineMode != UnderlineAlways) UseFont(m_fontPlain);
  RECT redraw;
  ::GetClientRect(m_hWnd, &redraw);
  redraw.bottom += kLeaveRedrawBelow;
  ::InvalidateRect(m_hWnd, &redraw, TRUE);
}

// A failed open clears an earlier visited state.
void CHyperLink::OnClicked() {
  m_bHovering = FALSE;
  const int result = OpenLinkTarget(m_strTarget.c_str(), SW_SHOW);
  const bool opened = result > kLastErrorCode;
  SetVisitedState(opened);
  if (!opened) {
    ::MessageBeep(MB_ICONEXCLAMATION);
    ReportOpenError(result);
  }
}

// With the user's normal rights, never with this process's own.
int CHyperLink::OpenLinkTarget(LPCWSTR target, int showCommand) {
  return CUnelevatedOpener::Open(target, showCommand);
}

void CHyperLink::ReportOpenError(int code) {
  AfxMessageBox(LinkOpenErrorText(code, m_strTarget).c_str(), MB_ICONEXCLAMATION, 0);
}

// A copy of the system help program's hand cursor, which stays valid after
// the program's module is released. Current systems have none in it, and
// there the system's own hand serves.
void CHyperLink::LoadHandCursor() {
  if (m_hHandCursor) return;
  wchar_t windowsDirectory[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windowsDirectory, MAX_PATH);
  const CString helpProgram = CString(windowsDirectory) + kHelpProgram;
  // Only its resources: the program is mapped as an image, never run.
  if (const HMODULE module = ::LoadLibraryExW(helpProgram.c_str(), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
    if (const HCURSOR cursor = ::LoadCursorW(module, MAKEINTRESOURCEW(kHandCursorId))) {
      m_hHandCursor = ::CopyIcon(cursor);
    }
    ::FreeLibrary(module);
  }
  if (!m_hHandCursor) {
    if (const HCURSOR systemHand = ::LoadCursorW(nullptr, IDC_HAND)) m_hHandCursor = ::CopyIcon(systemHand);
  }
}

BOOL CHyperLink::PreTranslateMessage(MSG* msg) {
  m_tip.RelayEvent(msg);
  return CStatic::PreTranslateMessage(msg);
}

BOOL CHyperLink::DestroyWindow() {
  ::KillTimer(m_hWnd, m_nHoverTimerId);
  return CStatic::DestroyWindow();
}
