#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "framework/RectSize.h"
#include "res/resource.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProcessWindows.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/SilentServer.h"
#include "tests/wine/ui/TemplateLayout.h"

namespace {

// Ending must not wait for the start-up compare's 5 s wait for a reply.
constexpr DWORD kEndMs = 2500;

// Dialog template 102 as the program must carry it.
const DWORD kStatic = SS_TYPEMASK;
const DWORD kButton = BS_TYPEMASK;
// The edit control turns the template's border into a client edge. Enter
// in the log box stays there instead of pressing a button.
const DWORD kLogStyle =
    ES_MULTILINE | ES_READONLY | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_VSCROLL;
const DialogTemplate kMainTemplate{
    L"Tahoma", 9,
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME,
    WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME,
    {275, 138},
    WS_MAXIMIZEBOX | WS_THICKFRAME,
    {
        {IDC_LOCAL_LABEL, L"Static", kStatic, SS_LEFT, 0, 0, 0, {6, 10, 74, 10}, true},
        {IDC_SERVER_LABEL, L"Static", kStatic, SS_LEFT, 0, 0, 0, {102, 10, 66, 8}, true},
        {IDC_LOCAL_CLOCK, L"Static", kStatic, SS_BITMAP, 0, 0, 0, {6, 24, 86, 36}, false},
        {IDC_SERVER_CLOCK, L"Static", kStatic, SS_BITMAP, 0, 0, 0, {102, 24, 86, 36}, false},
        {IDC_ABOUT, L"Button", kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 0, {198, 7, 70, 13}, true},
        // With the focus, a push button is the default one.
        {IDC_COMPARE, L"Button", kButton, BS_DEFPUSHBUTTON, WS_TABSTOP, 0, 0, {198, 25, 70, 14}, true},
        {IDC_SYNCHRONIZE, L"Button", kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 0, {198, 44, 70, 14}, true},
        {IDC_LOG, L"Edit", 0, 0, kLogStyle | WS_TABSTOP, WS_HSCROLL, WS_EX_CLIENTEDGE, {6, 74, 262, 56}, true},
    }};

class MainWindow : public testing::Test {
protected:
  void SetUp() override {
    m_directory.WriteSettings(kSilentServerSettings);
    m_run.emplace(m_directory);
    ASSERT_TRUE(m_run->Started());
    m_hDialog = m_run->MainWindow();
    ASSERT_NE(m_hDialog, nullptr) << "the dialog did not show";
  }

  CRunDirectory m_directory;
  std::optional<CProgramRun> m_run;
  HWND m_hDialog = nullptr;
};

TEST_F(MainWindow, OpensCentredOnTheDesktopWithItsControls) {
  const CDialogView dialog(m_hDialog);
  EXPECT_EQ(dialog.Caption(), L"Movrane");

  RECT desktop{};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  const RECT window = dialog.WindowRect();
  EXPECT_EQ(window.left, std::abs((Width(desktop) - Width(window)) / 2));
  EXPECT_EQ(window.top, std::abs((Height(desktop) - Height(window)) / 2));

  EXPECT_EQ(DifferencesFromTemplate(m_hDialog, kMainTemplate), std::vector<std::string>{});
  EXPECT_EQ(dialog.Text(IDC_LOG), L"");

  for (const int clock : {IDC_LOCAL_CLOCK, IDC_SERVER_CLOCK}) {
    const RECT face = dialog.ControlRect(clock);
    EXPECT_EQ(Width(face), 151) << "clock " << clock;
    EXPECT_EQ(Height(face), 72) << "clock " << clock;
  }
}

TEST_F(MainWindow, EscapeEndsTheProgram) {
  const DWORD processId = m_run->ProcessId();
  m_run->PressEscape();

  ASSERT_TRUE(m_run->WaitForExit(kEndMs));
  EXPECT_EQ(m_run->RunningCopies(), 0);
  EXPECT_TRUE(CProcessWindows(processId).All().empty());
}

}  // namespace
