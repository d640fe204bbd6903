#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "res/resource.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProgramRun.h"

namespace {

// Bytes in no particular order, mostly unprintable.
constexpr int kJunkBytes = 4096;
constexpr int kJunkStride = 7919;
constexpr int kJunkModulus = 251;

// Runs without a usable settings file: every text is the built-in one.
class DefaultSettings : public testing::Test {
protected:
  void ExpectBuiltInTexts() {
    CProgramRun run(m_directory);
    const HWND hDialog = run.MainWindow();
    ASSERT_NE(hDialog, nullptr) << "the dialog did not show";
    const CDialogView dialog(hDialog);
    EXPECT_EQ(dialog.Text(IDC_COMPARE), L"Compare");
    EXPECT_EQ(dialog.Text(IDC_SYNCHRONIZE), L"Synchronize");
    EXPECT_EQ(dialog.Text(IDC_ABOUT), L"About...");
    EXPECT_EQ(dialog.Text(IDC_LOCAL_LABEL), L"Local time");
    EXPECT_EQ(dialog.Text(IDC_SERVER_LABEL), L"Server time");
    EXPECT_EQ(dialog.Text(IDC_LOG), L"");
  }

  CRunDirectory m_directory;
};

TEST_F(DefaultSettings, WithoutAFile) {
  ExpectBuiltInTexts();
}

TEST_F(DefaultSettings, WithBinaryJunk) {
  std::string junk;
  for (int i = 0; i < kJunkBytes; ++i) junk += static_cast<char>(i * kJunkStride % kJunkModulus);
  m_directory.WriteSettings(junk);
  ExpectBuiltInTexts();
}

}  // namespace
