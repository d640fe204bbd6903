#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "res/resource.h"
#include "tests/wine/ui/AccessibleReading.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProgramRun.h"

namespace {

constexpr size_t kLongLabel = 150;
constexpr size_t kLabelShown = 99;

// The texts that a run with these settings shows.
class SettingsFile : public testing::Test {
protected:
  void Start(const std::string& settings) {
    m_directory.WriteSettings(settings);
    m_run.emplace(m_directory);
    m_hDialog = m_run->MainWindow();
    ASSERT_NE(m_hDialog, nullptr) << "the dialog did not show";
  }

  std::wstring Text(int id) const { return CDialogView(m_hDialog).Text(id); }

  CRunDirectory m_directory;
  std::optional<CProgramRun> m_run;
  HWND m_hDialog = nullptr;
};

std::string Utf16WithByteOrderMark(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (const wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST_F(SettingsFile, NamesMatchWhateverTheirCaseAndValuesAreCutToTheirBuffer) {
  const std::string longLabel(kLongLabel, 'L');
  Start("[sntp]\r\nserver1=127.0.0.9\r\n"
        "[BUTTON]\r\nComp=\r\nSYNC=Set clock\r\n"
        "[Static]\r\nLocalTime=" + longLabel + "\r\nservertime=Pool\r\n");

  EXPECT_EQ(Text(IDC_COMPARE), L"");
  EXPECT_EQ(Text(IDC_SYNCHRONIZE), L"Set clock");
  EXPECT_EQ(Text(IDC_ABOUT), L"About...");
  EXPECT_EQ(Text(IDC_LOCAL_LABEL), std::wstring(kLabelShown, L'L'));
  EXPECT_EQ(Text(IDC_SERVER_LABEL), L"Pool");
}

TEST_F(SettingsFile, ReadsUtf16WithByteOrderMark) {
  Start(Utf16WithByteOrderMark(L"[sntp]\r\nserver1=127.0.0.9\r\n"
                               L"[button]\r\ncomp=\u0421\u0440\u0430\u0432\u043d\u0438\u0442\u044c\r\n"
                               L"[static]\r\nservertime=Zeit \u00e0 l'\u00e9cran\r\n"));

  EXPECT_EQ(Text(IDC_COMPARE), L"\u0421\u0440\u0430\u0432\u043d\u0438\u0442\u044c");
  EXPECT_EQ(Text(IDC_SERVER_LABEL), L"Zeit \u00e0 l'\u00e9cran");
  EXPECT_EQ(Text(IDC_LOCAL_LABEL), L"Local time");
  // Screen readers know the clock by its label.
  EXPECT_EQ(ReadAccessible(CDialogView(m_hDialog).Control(IDC_SERVER_CLOCK)).name,
            L"Zeit \u00e0 l'\u00e9cran");
}

}  // namespace
