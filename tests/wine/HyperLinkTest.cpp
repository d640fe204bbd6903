#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>

#include "controls/HyperLink.h"
#include "tests/wine/BuildOutput.h"

namespace {

constexpr COLORREF kNormal = RGB(0, 0, 238);
constexpr COLORREF kVisited = RGB(85, 26, 139);
constexpr COLORREF kHover = RGB(255, 0, 0);
constexpr UINT_PTR kToolId = 1;
constexpr int kMessageBoxTextId = 0xFFFF;
// The shell cannot open this: it names a file that does not exist.
const wchar_t kMissingPage[] = L"C:\\movrane-tests\\missing.page";
const wchar_t kShellFailed[] = L"Unable to open hyperlink:\n\nThe desktop shell could not open it.\n\n";
const wchar_t kNoUnelevatedShell[] =
    L"Unable to open hyperlink:\n\nThere is no desktop shell to open it with your\nnormal rights, and a "
    L"program running as\nadministrator does not open it itself.\n\n";
const std::wstring kRecorder = L"\"" + BuildOutputPath(L"link_recorder.exe") + L"\"";
const POINT kAwayFromTheWindow{5, 5};

// However busy the machine, the hover timer notices a leave within this.
constexpr DWORD kLeaveMs = 5000;

// Handles this thread's messages until the condition holds or the time is up.
void PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  while (!condition() && ::GetTickCount64() < end) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) ::DispatchMessageW(&msg);
    }
    ::Sleep(10);
  }
}

// A top-level window to put static controls on; its object reflects the
// controls' colour requests and notifications to their own objects. Hidden
// unless a test shows it: Wine takes seconds to take a shown window down.
class TestWindow {
public:
  TestWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = L"MovraneLinkTestWindow";
      wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
      return ::RegisterClassW(&wc);
    }();
    m_hWnd =
        ::CreateWindowExW(0, MAKEINTATOM(windowClass), L"Link test", WS_OVERLAPPEDWINDOW, 200, 200,
                          500, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    m_parent.SubclassWindow(m_hWnd);
    ::SetCursorPos(kAwayFromTheWindow.x, kAwayFromTheWindow.y);
    LOGFONTW font{};
    font.lfHeight = -13;
    ::lstrcpyW(font.lfFaceName, L"Tahoma");
    m_hFont = ::CreateFontIndirectW(&font);
  }
  ~TestWindow() {
    ::DestroyWindow(m_hWnd);
    ::DeleteObject(m_hFont);
  }

  HWND Handle() const { return m_hWnd; }
  HFONT Font() const { return m_hFont; }

  HWND AddStatic(LPCWSTR text, DWORD style, RECT rect, HFONT font = nullptr) const {
    const HWND control = ::CreateWindowExW(
        0, L"Static", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(++m_nLastId)), nullptr, nullptr);
    if (font) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  }

  // The control's rectangle in this window's client coordinates.
  RECT PlaceOf(HWND control) const {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  // The text colour the control's object chooses, and what else it sets.
  COLORREF TextColour(HWND control) const {
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetBkMode(dc, OPAQUE);
    const LRESULT brush = ::SendMessageW(m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
  }

private:
  HWND m_hWnd;
  CWnd m_parent;
  HFONT m_hFont;
  mutable int m_nLastId = 100;
};

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0));
  if (handle) ::GetObjectW(handle, sizeof(font), &font);
  return font;
}

bool Underlined(HWND control) { return FontOf(control).lfUnderline != 0; }

std::wstring Text(HWND control) {
  wchar_t text[512] = {};
  ::GetWindowTextW(control, text, 512);
  return text;
}

// The text of the tooltip tool that the control added for itself.
std::wstring TipText(HWND control) {
  std::wstring found = L"(no tool)";
  HWND tip = nullptr;
  while ((tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))) {
    wchar_t text[1024] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = control;
    info.uId = kToolId;
    if (!::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) continue;
    info.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
    found = text;
  }
  return found;
}

// The extent of the text in an underlined copy of the font.
SIZE UnderlinedExtent(HWND control, const std::wstring& text) {
  LOGFONTW logFont = FontOf(control);
  logFont.lfUnderline = TRUE;
  const HFONT font = ::CreateFontIndirectW(&logFont);
  const HDC dc = ::GetDC(control);
  const HGDIOBJ previous = ::SelectObject(dc, font);
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  ::SelectObject(dc, previous);
  ::ReleaseDC(control, dc);
  ::DeleteObject(font);
  return extent;
}

void Hover(HWND control) { ::SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)); }

// Moves the cursor away and lets the hover timer notice: hovering ends,
// and the link's colour is no longer the hover colour.
void Leave(const TestWindow& window, HWND control) {
  ::SetCursorPos(kAwayFromTheWindow.x, kAwayFromTheWindow.y);
  PumpUntil([&] { return window.TextColour(control) != kHover; }, kLeaveMs);
}

bool IsMessageBox(HWND window) {
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  return std::wstring(name) == L"#32770" && ::IsWindowVisible(window);
}

// Clicks the control; the message box that the click may show is read and
// closed from another thread. Returns the box's text, or "" without a box.
std::wstring ClickAndReadMessageBox(HWND control) {
  const DWORD uiThread = ::GetCurrentThreadId();
  std::promise<void> clickDone;
  std::future<void> clicked = clickDone.get_future();
  std::future<std::wstring> boxText = std::async(std::launch::async, [&] {
    struct Search {
      HWND box = nullptr;
    } search;
    while (clicked.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
      ::EnumThreadWindows(
          uiThread,
          [](HWND window, LPARAM found) {
            if (!IsMessageBox(window)) return TRUE;
            reinterpret_cast<Search*>(found)->box = window;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&search));
      if (search.box) {
        wchar_t text[512] = {};
        ::GetDlgItemTextW(search.box, kMessageBoxTextId, text, 512);
        ::PostMessageW(search.box, WM_COMMAND, IDOK, 0);
        return std::wstring(text);
      }
    }
    return std::wstring();
  });
  ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  clickDone.set_value();
  return boxText.get();
}

// HKEY_CLASSES_ROOT of this process, redirected to a scratch key while the
// object lives, as a user-level program may redirect a class of the
// elevated program's view with keys of the user's own.
class ScratchClasses {
public:
  ScratchClasses() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey,
                      nullptr);
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, m_hKey);
  }
  ~ScratchClasses() {
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    ::RegCloseKey(m_hKey);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  }

  void SetDefault(const std::wstring& subKey, const std::wstring& value) const {
    ::RegSetValueW(m_hKey, subKey.c_str(), REG_SZ, value.c_str(),
                   static_cast<DWORD>(value.size() * sizeof(wchar_t)));
  }

private:
  static constexpr wchar_t kKey[] = L"Software\\Movrane test classes";
  HKEY m_hKey = nullptr;
};

// A URL scheme of the system's classes, which every process sees (Wine
// merges no user's classes into them), whose open command starts the
// recorder with the target; registered while the object lives.
class RecorderScheme {
public:
  explicit RecorderScheme(const std::wstring& name) : m_name(name) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ::RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition);
    m_bRegistered = disposition == REG_CREATED_NEW_KEY;
    if (!m_bRegistered) return;
    const std::wstring command = kRecorder + L" \"%1\"";
    ::RegSetValueW(key, L"shell\\open\\command", REG_SZ, command.c_str(), 0);
    ::RegCloseKey(key);
  }
  ~RecorderScheme() {
    if (m_bRegistered) ::RegDeleteTreeW(HKEY_CLASSES_ROOT, m_name.c_str());
  }

  bool Registered() const { return m_bRegistered; }

private:
  std::wstring m_name;
  bool m_bRegistered;
};

// What the recorder recorded: the program that started it, and its command
// line.
class Record {
public:
  Record() : m_path(BuildOutputPath(L"link_record.txt")) { ::DeleteFileW(m_path.c_str()); }
  ~Record() { ::DeleteFileW(m_path.c_str()); }

  // The record, once the recorder has written it; "" if it does not come.
  std::wstring Wait(DWORD milliseconds) const {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
      const HANDLE file = ::CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        wchar_t text[2048] = {};
        DWORD read = 0;
        ::ReadFile(file, text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
        ::CloseHandle(file);
        return text;
      }
      ::Sleep(50);
    } while (::GetTickCount64() < end);
    return L"";
  }

private:
  std::wstring m_path;
};

// The system help program, while the object lives, is a stand-in whose
// cursor 106 has its hot spot at (9, 1). Only where the system has none.
class StandInHelpProgram {
public:
  StandInHelpProgram() {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    m_path = std::wstring(windows) + L"\\winhlp32.exe";
  }
  ~StandInHelpProgram() { Remove(); }

  bool SystemHasOne() const {
    return ::GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool Install() {
    m_bInstalled =
        ::CopyFileW(BuildOutputPath(L"help_program_stand_in.dll").c_str(), m_path.c_str(), TRUE);
    return m_bInstalled;
  }
  // Wine loads its built-in help program instead unless told otherwise
  // (WINEDLLOVERRIDES=winhlp32.exe=n).
  bool IsLoaded() const {
    const HMODULE module = ::LoadLibraryW(m_path.c_str());
    const bool loaded = module && ::FindResourceW(module, MAKEINTRESOURCEW(106), RT_GROUP_CURSOR);
    if (module) ::FreeLibrary(module);
    return loaded;
  }
  void Remove() {
    if (m_bInstalled) ::DeleteFileW(m_path.c_str());
    m_bInstalled = false;
  }

private:
  std::wstring m_path;
  bool m_bInstalled = false;
};

bool AnswersSetCursor(HWND control) {
  return ::SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

}  // namespace

TEST(HyperLink, AttachExchangesTargetAndTextAndAsksForClicks) {
  TestWindow window;
  const HWND withText = window.AddStatic(L"Example text", SS_LEFT, {10, 10, 300, 30});
  const HWND withTarget = window.AddStatic(L"", SS_LEFT, {10, 40, 300, 60});
  const HWND withNeither = window.AddStatic(L"", SS_LEFT, {10, 70, 300, 90});
  CHyperLink textOnly, targetOnly, neither;
  targetOnly.SetLinkTarget(L"https://example.org/target");
  textOnly.SubclassWindow(withText);
  targetOnly.SubclassWindow(withTarget);
  neither.SubclassWindow(withNeither);

  EXPECT_EQ(TipText(withText), L"Example text");
  EXPECT_EQ(Text(withTarget), L"https://example.org/target");
  EXPECT_EQ(TipText(withTarget), L"https://example.org/target");
  EXPECT_EQ(Text(withNeither), L"");
  EXPECT_EQ(TipText(withNeither), L"");
  EXPECT_TRUE(::GetWindowLongW(withText, GWL_STYLE) & SS_NOTIFY);
}

TEST(HyperLink, TargetChangesRefitAndRetitleTheTooltip) {
  TestWindow window;
  const HWND control =
      window.AddStatic(L"Short", WS_BORDER | SS_LEFT, {10, 10, 400, 60}, window.Font());
  CHyperLink link;
  link.SubclassWindow(control);
  ::SetWindowTextW(control, L"A much longer text than before");
  link.SetLinkTarget(L"https://example.org/longer");

  RECT client;
  ::GetClientRect(control, &client);
  const SIZE text = UnderlinedExtent(control, L"A much longer text than before");
  EXPECT_EQ(client.right, text.cx);
  EXPECT_EQ(client.bottom, text.cy);
  EXPECT_EQ(window.PlaceOf(control).left, 10);
  EXPECT_EQ(window.PlaceOf(control).top, 10);
  EXPECT_EQ(TipText(control), L"https://example.org/longer");
}

TEST(HyperLink, RefitKeepsTheEdgesItsAlignmentNames) {
  TestWindow window;
  const HWND left = window.AddStatic(L"Fit me", SS_LEFT, {20, 10, 320, 50}, window.Font());
  const HWND right = window.AddStatic(L"Fit me", SS_RIGHT, {20, 60, 320, 100}, window.Font());
  const HWND centred =
      window.AddStatic(L"Fit me", SS_CENTER | SS_CENTERIMAGE, {20, 110, 320, 150}, window.Font());
  CHyperLink links[3];
  for (const auto& [link, control] :
       {std::pair{&links[0], left}, {&links[1], right}, {&links[2], centred}}) {
    link->SubclassWindow(control);
  }
  const SIZE text = UnderlinedExtent(left, L"Fit me");

  EXPECT_EQ(window.PlaceOf(left).left, 20);
  EXPECT_EQ(window.PlaceOf(left).top, 10);
  EXPECT_EQ(window.PlaceOf(left).right, 20 + text.cx);
  EXPECT_EQ(window.PlaceOf(left).bottom, 10 + text.cy);
  EXPECT_EQ(window.PlaceOf(right).right, 320);
  EXPECT_EQ(window.PlaceOf(right).left, 320 - text.cx);
  EXPECT_EQ(window.PlaceOf(right).top, 60);
  const RECT middle = window.PlaceOf(centred);
  EXPECT_EQ(middle.left - 20, 320 - middle.right);
  EXPECT_EQ(middle.top - 110, 150 - middle.bottom);
  EXPECT_EQ(middle.left, 20 + (300 - text.cx) / 2);
  EXPECT_EQ(middle.top, 110 + (40 - text.cy) / 2);
}

POINT HotSpotOf(HCURSOR cursor) {
  ICONINFO info{};
  if (!::GetIconInfo(cursor, &info)) return {-1, -1};
  ::DeleteObject(info.hbmMask);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  return {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
}

TEST(HyperLink, HandCursorIsTheHelpProgramsOrElseTheSystems) {
  StandInHelpProgram helpProgram;
  if (helpProgram.SystemHasOne()) GTEST_SKIP() << "the system has a help program of its own";
  TestWindow window;
  const HWND withoutHand = window.AddStatic(L"No hand", SS_LEFT, {10, 10, 300, 30});
  const HWND withHand = window.AddStatic(L"Hand", SS_LEFT, {10, 40, 300, 60});
  CHyperLink noCursor, cursor;
  noCursor.SubclassWindow(withoutHand);
  ASSERT_TRUE(helpProgram.Install());
  if (!helpProgram.IsLoaded()) GTEST_SKIP() << "the system loads a help program of its own";
  cursor.SubclassWindow(withHand);
  helpProgram.Remove();

  const POINT systemHand = HotSpotOf(::LoadCursorW(nullptr, IDC_HAND));
  ASSERT_NE(systemHand.x, 9);
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_TRUE(AnswersSetCursor(withoutHand));
  EXPECT_EQ(HotSpotOf(::GetCursor()).x, systemHand.x);
  EXPECT_EQ(HotSpotOf(::GetCursor()).y, systemHand.y);

  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_TRUE(AnswersSetCursor(withHand));
  EXPECT_EQ(HotSpotOf(::GetCursor()).x, 9);
  EXPECT_EQ(HotSpotOf(::GetCursor()).y, 1);
}

TEST(HyperLink, ColoursFollowHoverAndVisitedState) {
  TestWindow window;
  const HWND control = window.AddStatic(L"Colours", SS_LEFT, {10, 10, 300, 30});
  CHyperLink link;
  link.SubclassWindow(control);
  EXPECT_EQ(window.TextColour(control), kNormal);
  link.SetVisitedState(TRUE);
  EXPECT_EQ(window.TextColour(control), kVisited);
  Hover(control);
  EXPECT_EQ(window.TextColour(control), kHover);
  Leave(window, control);
  EXPECT_EQ(window.TextColour(control), kVisited);
  link.SetVisitedState(FALSE);
  EXPECT_EQ(window.TextColour(control), kNormal);

  // The background is the button face, whatever the parent paints.
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = ::CreateBitmap(1, 1, 1, 32, nullptr);
  const HGDIOBJ previous = ::SelectObject(dc, bitmap);
  EXPECT_TRUE(::SendMessageW(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
  EXPECT_EQ(::GetPixel(dc, 0, 0), ::GetNearestColor(dc, ::GetSysColor(COLOR_BTNFACE)));
  ::SelectObject(dc, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

TEST(HyperLink, UnderlineFollowsTheModeWhileHoveringAndAfterLeaving) {
  TestWindow window;
  const HWND control = window.AddStatic(L"Underline", SS_LEFT, {10, 10, 300, 30});
  CHyperLink link;
  link.SetUnderlineMode(CHyperLink::UnderlineAlways);  // replaced by on-hover at the attach
  link.SubclassWindow(control);

  struct Expected {
    int mode;
    bool hovered;
    bool left;
  };
  for (const Expected expected : {Expected{CHyperLink::UnderlineOnHover, true, false},
                                  {CHyperLink::UnderlineAlways, true, true},
                                  {CHyperLink::UnderlineNever, false, false}}) {
    link.SetUnderlineMode(expected.mode);
    Hover(control);
    EXPECT_EQ(Underlined(control), expected.hovered) << expected.mode;
    Leave(window, control);
    EXPECT_EQ(Underlined(control), expected.left) << expected.mode;
  }
}

TEST(HyperLink, SettingTheCurrentUnderlineModeChangesNothing) {
  TestWindow window;
  const HWND control = window.AddStatic(L"Same mode", SS_LEFT, {10, 10, 300, 30});
  CHyperLink link;
  link.SubclassWindow(control);
  link.SetUnderlineMode(CHyperLink::UnderlineAlways);
  EXPECT_TRUE(Underlined(control));

  ::ShowWindow(window.Handle(), SW_SHOWNA);  // only shown windows collect invalid areas
  const HFONT other = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(other), FALSE);
  ::UpdateWindow(window.Handle());
  link.SetUnderlineMode(CHyperLink::UnderlineAlways);
  EXPECT_EQ(::SendMessageW(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(other));
  EXPECT_FALSE(::GetUpdateRect(control, nullptr, FALSE));
  link.SetUnderlineMode(CHyperLink::UnderlineNever);
  EXPECT_TRUE(::GetUpdateRect(control, nullptr, FALSE));
}

TEST(HyperLink, FontCopiesComeFromTheControlOrTheStockFont) {
  TestWindow window;
  LOGFONTW big{};
  big.lfHeight = -24;
  big.lfWeight = FW_BOLD;
  ::lstrcpyW(big.lfFaceName, L"Tahoma");
  const HFONT font = ::CreateFontIndirectW(&big);
  const HWND own = window.AddStatic(L"Own font", SS_LEFT, {10, 10, 300, 40}, font);
  const HWND none = window.AddStatic(L"No font", SS_LEFT, {10, 50, 300, 80});
  CHyperLink withFont, withoutFont;
  withFont.SubclassWindow(own);
  withoutFont.SubclassWindow(none);
  withFont.SetUnderlineMode(CHyperLink::UnderlineAlways);

  const LOGFONTW copy = FontOf(own);
  EXPECT_EQ(copy.lfHeight, -24);
  EXPECT_EQ(copy.lfWeight, FW_BOLD);
  EXPECT_STREQ(copy.lfFaceName, L"Tahoma");
  EXPECT_TRUE(copy.lfUnderline);

  LOGFONTW stock{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
  Hover(none);
  EXPECT_STREQ(FontOf(none).lfFaceName, stock.lfFaceName);
  EXPECT_EQ(FontOf(none).lfHeight, stock.lfHeight);
  EXPECT_TRUE(Underlined(none));
  ::DeleteObject(font);
}

// The desktop shell, which runs with the user's normal rights, starts the
// program registered for the target.
TEST(HyperLink, ClickHasTheDesktopShellOpenTheTarget) {
  const RecorderScheme scheme(L"movrane-test-link");
  ASSERT_TRUE(scheme.Registered());
  const Record record;
  const std::wstring target = L"movrane-test-link://example.org/movrane/";
  TestWindow window;
  const HWND control = window.AddStatic(target.c_str(), SS_LEFT, {10, 10, 400, 30});
  CHyperLink link;
  link.SubclassWindow(control);

  EXPECT_EQ(ClickAndReadMessageBox(control), L"");
  EXPECT_EQ(record.Wait(5000), L"explorer.exe\n" + kRecorder + L" \"" + target + L"\"");
  EXPECT_EQ(window.TextColour(control), kVisited);
}

// A failed open starts nothing in this process instead, least of all the
// command that a user-level program may have registered for web pages; the
// box names the target, for the user to open by hand.
TEST(HyperLink, FailedOpenRunsNothingAndShowsTheTarget) {
  const Record record;
  TestWindow window;
  const HWND control = window.AddStatic(kMissingPage, SS_LEFT, {10, 10, 400, 30});
  CHyperLink link;
  link.SubclassWindow(control);
  const auto expectFailure = [&](const std::wstring& target, const std::wstring& box) {
    link.SetLinkTarget(target);
    link.SetVisitedState(TRUE);
    EXPECT_EQ(ClickAndReadMessageBox(control), box + target);
    EXPECT_EQ(window.TextColour(control), kNormal);
  };

  // A target the desktop shell cannot open.
  expectFailure(kMissingPage, kShellFailed);
  {
    // With this process's classes redirected, COM finds no class of the
    // desktop shell's windows: no desktop shell to ask, as on a system
    // without one. This process is elevated, as every process under Wine.
    ScratchClasses classes;
    classes.SetDefault(L".htm", L"MovraneTestPage");
    classes.SetDefault(L"MovraneTestPage\\shell\\open\\command", kRecorder + L" \"%1\"");
    expectFailure(kMissingPage, kNoUnelevatedShell);
    expectFailure(L"movrane-test-link://example.org/", kNoUnelevatedShell);
  }
  EXPECT_EQ(record.Wait(500), L"");
}
