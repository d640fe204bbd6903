#include "exchange/SettingsPath.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsPath, LiesBesideTheExecutableWhateverItsName) {
  EXPECT_EQ(SettingsPathBeside(L"D:\\Tools\\Movrane.exe"), L"D:\\Tools\\Movrane.ini");
  EXPECT_EQ(SettingsPathBeside(L"C:\\a\\b\\Renamed.exe"), L"C:\\a\\b\\Movrane.ini");
  EXPECT_EQ(SettingsPathBeside(L"\\\\host\\share\\Movrane.exe"), L"\\\\host\\share\\Movrane.ini");
}

TEST(SettingsPath, InARootDirectoryIsBesideTheDriveName) {
  EXPECT_EQ(SettingsPathBeside(L"E:\\Movrane.exe"), L"E:\\Movrane.ini");
}

TEST(SettingsPath, LongerThanTheLimitIsEmpty) {
  const std::wstring suffix = L"\\Movrane.ini";
  const std::wstring fits = L"C:\\" + std::wstring(kMaxSettingsPath - 3 - suffix.size(), L'd');
  ASSERT_EQ((fits + suffix).size(), kMaxSettingsPath);

  EXPECT_EQ(SettingsPathBeside(fits + L"\\Movrane.exe"), fits + suffix);
  EXPECT_EQ(SettingsPathBeside(fits + L"d\\Movrane.exe"), L"");
}

}  // namespace
