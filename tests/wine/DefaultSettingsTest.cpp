#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "exchange/ServerSettings.h"
#include "res/resource.h"
#include "tests/wine/BuildOutput.h"
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
    // The start-up compare with the built-in servers may have failed
    // already, each of them told.
    const std::wstring log = dialog.Text(IDC_LOG);
    for (const wchar_t* server : kDefaultServers)
      EXPECT_TRUE(log.empty() || log.find(L"Left out : " + std::wstring(server) + L": ") != std::wstring::npos)
          << "log: " << log;
  }

  CRunDirectory m_directory;
};

TEST_F(DefaultSettings, WithoutAFile) {
  ExpectBuiltInTexts();
}

// The example that ships states every default: with all its keys put in
// force, the program shows what it shows without a file.
TEST_F(DefaultSettings, WithTheShippedExampleInForce) {
  std::ifstream example(std::filesystem::path(BuildOutputPath(L"Movrane.example.ini")), std::ios::binary);
  ASSERT_TRUE(example) << "no example settings";
  std::string settings;
  for (std::string line; std::getline(example, line);) {
    const bool commentedKey = line.rfind(';', 0) == 0 && line.find('=') != std::string::npos;
    settings += (commentedKey ? line.substr(1) : line) + "\n";
  }
  m_directory.WriteSettings(settings);
  ExpectBuiltInTexts();
}

TEST_F(DefaultSettings, WithBinaryJunk) {
  std::string junk;
  for (int i = 0; i < kJunkBytes; ++i) junk += static_cast<char>(i * kJunkStride % kJunkModulus);
  m_directory.WriteSettings(junk);
  ExpectBuiltInTexts();
}

}  // namespace
