#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/wine/BuildOutput.h"
#include "tests/wine/ui/ClockReader.h"
#include "tests/wine/ui/Deadline.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/PixelGrid.h"
#include "tests/wine/ui/ProcessWindows.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/SilentServer.h"
#include "tests/wine/ui/TemplateLayout.h"
#include "tests/wine/ui/UserInput.h"

namespace {

// Generous: a busy machine may be slow to show or repaint.
constexpr DWORD kShowUpMs = 5000;
constexpr DWORD kTooltipMs = 5000;
constexpr DWORD kTickMs = 5000;
constexpr DWORD kRepaintMs = 5000;
constexpr uint32_t kNormal = 0x0000EE;  // 0x00RRGGBB, as the screen is read
constexpr uint32_t kHover = 0xFF0000;
constexpr uint32_t kVisited = 0x551A8B;
const wchar_t kCopyright[] = L"Copyright (C) 2006-2007 Movrane developers";
const wchar_t kMailTo[] = L"mailto:movrane@example.org";
const wchar_t kCredit[] = L"Based on Example Code Library";

// Dialog template 103 as the program must carry it. The links are refitted
// to their texts and are tab stops, and the icon takes the icon's size.
const DWORD kStatic = SS_TYPEMASK;
const DWORD kLinkStyle = WS_GROUP | SS_NOTIFY | WS_TABSTOP;
const DialogTemplate kAboutTemplate{
    L"Tahoma", 9,
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    WS_EX_DLGMODALFRAME,
    {197, 106},
    WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME,
    {
        {IDOK, L"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_TABSTOP, 0, 0, {140, 7, 50, 16}, true},
        {IDC_VERSION, L"Static", kStatic, SS_LEFT, WS_GROUP, 0, WS_EX_TRANSPARENT, {35, 29, 95, 11}, true},
        {IDC_STATIC, L"Static", kStatic, SS_LEFT, WS_GROUP, 0, WS_EX_TRANSPARENT, {35, 13, 92, 11}, true},
        {IDC_STATIC, L"Static", kStatic, SS_ICON, 0, 0, 0, {10, 10, 20, 20}, false},
        {IDC_LINK_AUTHOR_PAGE, L"Static", kStatic, SS_LEFT, kLinkStyle, 0, WS_EX_TRANSPARENT, {35, 44, 155, 11}, false},
        {IDC_LINK_EMAIL, L"Static", kStatic, SS_LEFT, kLinkStyle, 0, WS_EX_TRANSPARENT, {35, 61, 155, 10}, false},
        {IDC_LINK_CREDIT, L"Static", kStatic, SS_LEFT, kLinkStyle, 0, WS_EX_TRANSPARENT, {35, 78, 155, 13}, false},
    }};

// The program's about box, opened with the main dialog's About button.
class AboutBox : public testing::Test {
protected:
  void Open() {
    m_directory.WriteSettings(kSilentServerSettings);
    m_run.emplace(m_directory);
    ASSERT_TRUE(m_run->Started());
    m_hMain = m_run->MainWindow();
    ASSERT_NE(m_hMain, nullptr) << "the main dialog did not show";
    UserInput::ClickWindow(CDialogView(m_hMain).Control(IDC_ABOUT));
    m_hBox = CProcessWindows(m_run->ProcessId()).WaitFor(L"About...", IDC_VERSION, kShowUpMs);
    ASSERT_NE(m_hBox, nullptr) << "the about box did not show";
    // Its links' tooltips show only while it is the active window, as a
    // person sees it come up before pointing at a link.
    ASSERT_TRUE(CDeadline::Await([this] { return ::GetForegroundWindow() == m_hBox; }, kShowUpMs))
        << "the about box did not become the active window";
    MoveAway();
  }

  HWND Control(int id) const { return CDialogView(m_hBox).Control(id); }

  // A point over the start of the link's text. Each link's tooltip tool
  // keeps the rectangle of the text the link had when it was attached.
  POINT StartOf(int id) const {
    const RECT rect = CDialogView(m_hBox).ControlRect(id);
    return POINT{rect.left + 3, (rect.top + rect.bottom) / 2};
  }

  void MoveAway() const { UserInput::MoveTo(UserInput::CentreOf(Control(IDOK))); }

  CRunDirectory m_directory;
  std::optional<CProgramRun> m_run;
  HWND m_hMain = nullptr;
  HWND m_hBox = nullptr;
};

// The link's client area as the screen shows it.
CPixelGrid Capture(HWND link) {
  RECT client{};
  ::GetClientRect(link, &client);
  ::MapWindowPoints(link, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return CPixelGrid::FromScreen(client);
}

int Count(const CPixelGrid& picture, uint32_t colour) {
  int count = 0;
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) count += picture.At(x, y) == colour;
  }
  return count;
}

// An underline: a row of the colour across nearly the whole text, which
// the link is fitted to. No row of the letters alone comes close.
bool Underlined(const CPixelGrid& picture, uint32_t colour) {
  for (int y = 0; y < picture.Height(); ++y) {
    int run = 0;
    for (int x = 0; x < picture.Width(); ++x) run += picture.At(x, y) == colour;
    if (run * 10 >= picture.Width() * 9) return true;
  }
  return false;
}

// Whether the focus rectangle's dots run along the top of the link.
bool ShowsFocus(HWND link) {
  const CPixelGrid picture = Capture(link);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const uint32_t background = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  int dots = 0;
  for (int x = 0; x < picture.Width(); ++x) dots += picture.At(x, 0) != background;
  return dots * 3 >= picture.Width();
}

// While the object lives, web and mail links start the link recorder, which
// does nothing without a record to write, instead of a browser.
class QuietLinkHandler {
public:
  QuietLinkHandler() {
    const std::wstring recorder = L"\"" + BuildOutputPath(L"link_recorder.exe") + L"\" \"%1\"";
    for (const wchar_t* command : kCommands) {
      wchar_t saved[MAX_PATH] = {};
      LONG size = sizeof(saved);
      ::RegQueryValueW(HKEY_CLASSES_ROOT, command, saved, &size);
      m_arrSaved.emplace_back(saved);
      Set(command, recorder);
    }
  }
  ~QuietLinkHandler() {
    for (size_t i = 0; i < m_arrSaved.size(); ++i) Set(kCommands[i], m_arrSaved[i]);
  }

private:
  static void Set(const wchar_t* command, const std::wstring& value) {
    ::RegSetValueW(HKEY_CLASSES_ROOT, command, REG_SZ, value.c_str(),
                   static_cast<DWORD>(value.size() * sizeof(wchar_t)));
  }

  static constexpr const wchar_t* kCommands[] = {L"https\\shell\\open\\command",
                                                 L"mailto\\shell\\open\\command"};
  std::vector<std::wstring> m_arrSaved;
};

// The text of the process's tooltip once one shows.
std::wstring ShownTooltip(DWORD processId) {
  std::wstring text;
  CDeadline::Await(
      [&] {
        for (HWND window : CProcessWindows(processId).All()) {
          wchar_t name[64] = {};
          ::GetClassNameW(window, name, 64);
          if (std::wstring(name) != TOOLTIPS_CLASSW) continue;
          text = CDialogView::WindowText(window);
          if (!text.empty()) return true;
        }
        return false;
      },
      kTooltipMs);
  return text;
}

// A copy of a program's resources, all but its version resource.
struct ResourceCopy {
  HMODULE source;
  HANDLE update;
  bool copied;
};

BOOL CALLBACK CopyLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                           LONG_PTR param) {
  auto* copy = reinterpret_cast<ResourceCopy*>(param);
  const HRSRC found = ::FindResourceExW(module, type, name, language);
  copy->copied &= ::UpdateResourceW(copy->update, type, name, language,
                                    ::LockResource(::LoadResource(module, found)),
                                    ::SizeofResource(module, found)) != FALSE;
  return TRUE;
}

BOOL CALLBACK CopyName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  return ::EnumResourceLanguagesW(module, type, name, CopyLanguage, param);
}

BOOL CALLBACK CopyTypeButVersion(HMODULE module, LPWSTR type, LONG_PTR param) {
  return type == RT_VERSION || ::EnumResourceNamesW(module, type, CopyName, param);
}

// Rewrites the program's resources without its version resource. (Wine
// does not delete a single resource through UpdateResource.)
bool RemoveVersionResource(const std::filesystem::path& program) {
  const std::filesystem::path original = program.wstring() + L".original";
  std::filesystem::copy_file(program, original);
  ResourceCopy copy{::LoadLibraryExW(original.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE),
                    ::BeginUpdateResourceW(program.c_str(), TRUE), true};
  if (!copy.source || !copy.update) return false;
  ::EnumResourceTypesW(copy.source, CopyTypeButVersion, reinterpret_cast<LONG_PTR>(&copy));
  ::FreeLibrary(copy.source);
  return ::EndUpdateResourceW(copy.update, !copy.copied) && copy.copied;
}

}  // namespace

TEST_F(AboutBox, ShowsTheProgramsVersionAndItsLinksWhileTheClockTicksOn) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const CDialogView box(m_hBox);
  EXPECT_EQ(box.Text(IDC_VERSION), L"ver. 0.1.2.8");
  EXPECT_EQ(box.Text(IDC_LINK_AUTHOR_PAGE), kCopyright);
  EXPECT_EQ(box.Text(IDC_LINK_EMAIL), kMailTo);
  EXPECT_EQ(box.Text(IDC_LINK_CREDIT), kCredit);
  EXPECT_EQ(DifferencesFromTemplate(m_hBox, kAboutTemplate), std::vector<std::string>{});
  EXPECT_FALSE(::IsWindowEnabled(m_hMain));

  // Dragged aside, the box leaves the main dialog's clocks in sight.
  ::SetWindowPos(m_hBox, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const CClockReader reader(m_directory.ProgramPath());
  ASSERT_TRUE(reader.Loaded());
  const HWND clock = CDialogView(m_hMain).Control(IDC_LOCAL_CLOCK);
  const std::wstring before = reader.Read(clock, ClockKind::Local);
  const auto ticked = [&] { return reader.Read(clock, ClockKind::Local) != before; };
  EXPECT_TRUE(CDeadline::Await(ticked, kTickMs)) << "the main dialog's clock stood still";

  UserInput::ClickWindow(box.Control(IDOK));
  EXPECT_TRUE(CDeadline::Await([&] { return !::IsWindow(m_hBox); }, kShowUpMs));
  EXPECT_TRUE(::IsWindowEnabled(m_hMain));
}

TEST_F(AboutBox, EachLinksTooltipShowsItsTarget) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const std::pair<int, std::wstring> targets[] = {
      {IDC_LINK_AUTHOR_PAGE, L"https://example.org/movrane/"},
      {IDC_LINK_EMAIL, kMailTo},
      {IDC_LINK_CREDIT, L"https://code.example.org/"},
  };
  for (const auto& [id, target] : targets) {
    UserInput::MoveTo(StartOf(id));
    EXPECT_EQ(ShownTooltip(m_run->ProcessId()), target) << id;
    MoveAway();
  }
}

TEST_F(AboutBox, HoverTurnsALinkRedAndOnlyTheMailLineIsAlwaysUnderlined) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const HWND credit = Control(IDC_LINK_CREDIT);
  const HWND mail = Control(IDC_LINK_EMAIL);
  EXPECT_TRUE(CDeadline::Await([&] { return Count(Capture(credit), kNormal) > 0; }, kRepaintMs))
      << "the link was never drawn in its colour";
  const CPixelGrid creditAtRest = Capture(credit);
  EXPECT_EQ(Count(creditAtRest, kHover), 0);
  EXPECT_FALSE(Underlined(creditAtRest, kNormal));
  EXPECT_TRUE(Underlined(Capture(mail), kNormal));

  UserInput::HoverWindow(credit);
  EXPECT_TRUE(CDeadline::Await([&] { return Underlined(Capture(credit), kHover); }, kRepaintMs));
  UserInput::HoverWindow(mail);
  EXPECT_TRUE(CDeadline::Await([&] { return Underlined(Capture(mail), kHover); }, kRepaintMs));
  EXPECT_TRUE(CDeadline::Await([&] { return !Underlined(Capture(credit), kHover); }, kRepaintMs));
  EXPECT_EQ(Count(Capture(credit), kHover), 0);
  EXPECT_FALSE(Underlined(Capture(credit), kNormal));
}

TEST_F(AboutBox, VersionLabelStaysWithoutTheVersionResource) {
  ASSERT_TRUE(RemoveVersionResource(m_directory.ProgramPath()));

  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(CDialogView(m_hBox).Text(IDC_VERSION), L"version");
  EXPECT_EQ(CDialogView(m_hBox).Text(IDC_LINK_EMAIL), kMailTo);
}

// Tab and Shift+Tab go through the main dialog's buttons and log in screen
// order, from compare; Space and Enter press the focused button, and open
// the focused link of the about box; an "&" in a button's text gives it an
// access key; Escape closes either dialog.
TEST_F(AboutBox, EverythingIsReachedAndPressedFromTheKeyboard) {
  const QuietLinkHandler linkHandler;
  m_directory.WriteSettings(std::string(kSilentServerSettings) + "[button]\r\nabout=&About...\r\n");
  m_run.emplace(m_directory);
  m_hMain = m_run->MainWindow();
  ASSERT_NE(m_hMain, nullptr) << "the main dialog did not show";
  ::SetForegroundWindow(m_hMain);
  const CDialogView main(m_hMain);
  // Keys take effect when the program has read them, however busy the
  // machine is.
  const auto focusReaches = [](const CDialogView& dialog, int id) {
    return CDeadline::Await([&] { return dialog.FocusedId() == id; }, kShowUpMs);
  };
  const auto tabsThrough = [&](const CDialogView& dialog, std::initializer_list<int> ids) {
    for (const int id : ids) {
      UserInput::PressKey(VK_TAB);
      EXPECT_TRUE(focusReaches(dialog, id)) << "the focus is on " << dialog.FocusedId() << ", not on " << id;
    }
  };
  const auto pressOpensTheBox = [&](WORD key, WORD modifier) {
    UserInput::PressKey(key, modifier);
    m_hBox = CProcessWindows(m_run->ProcessId()).WaitFor(L"About...", IDC_VERSION, kShowUpMs);
    return m_hBox != nullptr;
  };
  const auto escapeClosesTheBox = [&] {
    UserInput::PressKey(VK_ESCAPE);
    EXPECT_TRUE(CDeadline::Await([&] { return !::IsWindow(m_hBox); }, kShowUpMs));
    EXPECT_TRUE(focusReaches(main, IDC_ABOUT));
  };
  const auto opens = [&](int link, WORD key) {
    UserInput::PressKey(key);
    return CDeadline::Await([&] { return Count(Capture(Control(link)), kVisited) > 0; }, kRepaintMs);
  };

  EXPECT_TRUE(focusReaches(main, IDC_COMPARE));
  tabsThrough(main, {IDC_SYNCHRONIZE, IDC_LOG, IDC_ABOUT, IDC_COMPARE});
  UserInput::PressKey(VK_TAB, VK_SHIFT);
  ASSERT_TRUE(focusReaches(main, IDC_ABOUT));
  ASSERT_TRUE(pressOpensTheBox(VK_SPACE, 0));

  const CDialogView box(m_hBox);
  EXPECT_TRUE(focusReaches(box, IDOK));
  tabsThrough(box, {IDC_LINK_AUTHOR_PAGE, IDC_LINK_EMAIL, IDC_LINK_CREDIT, IDOK, IDC_LINK_AUTHOR_PAGE});
  EXPECT_TRUE(CDeadline::Await([&] { return ShowsFocus(Control(IDC_LINK_AUTHOR_PAGE)); }, kRepaintMs));
  EXPECT_TRUE(opens(IDC_LINK_AUTHOR_PAGE, VK_RETURN));
  tabsThrough(box, {IDC_LINK_EMAIL});
  EXPECT_TRUE(CDeadline::Await([&] { return ShowsFocus(Control(IDC_LINK_EMAIL)); }, kRepaintMs));
  EXPECT_TRUE(CDeadline::Await([&] { return !ShowsFocus(Control(IDC_LINK_AUTHOR_PAGE)); }, kRepaintMs));
  EXPECT_TRUE(opens(IDC_LINK_EMAIL, VK_SPACE));
  escapeClosesTheBox();

  ASSERT_TRUE(pressOpensTheBox(VK_RETURN, 0));
  escapeClosesTheBox();
  ASSERT_TRUE(pressOpensTheBox('A', VK_MENU)) << "no access key from the settings";
  escapeClosesTheBox();

  UserInput::PressKey(VK_TAB, VK_SHIFT);
  EXPECT_TRUE(focusReaches(main, IDC_LOG));
  // Enter in the log presses no button: Escape then closes the program.
  UserInput::PressKey(VK_RETURN);
  UserInput::PressKey(VK_ESCAPE);
  EXPECT_TRUE(m_run->WaitForExit(kShowUpMs)) << "Escape in the log did not close the program";
}
