#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>

#include "res/resource.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProcessWindows.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/SilentServer.h"

namespace {

constexpr DWORD kEndMs = 1000;

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

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

  const std::set<int> ids{IDC_LOCAL_CLOCK, IDC_SERVER_CLOCK, IDC_LOG,         IDC_COMPARE,
                          IDC_SYNCHRONIZE, IDC_ABOUT,        IDC_LOCAL_LABEL, IDC_SERVER_LABEL};
  EXPECT_EQ(dialog.ControlIds(), ids);
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
