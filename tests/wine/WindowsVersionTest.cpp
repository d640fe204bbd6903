#include "app/WindowsVersion.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr DWORD kExtendedSize = sizeof(OSVERSIONINFOEXW);
constexpr DWORD kPlainSize = sizeof(OSVERSIONINFOW);
constexpr DWORD kWindows9x = VER_PLATFORM_WIN32_WINDOWS;

// What the fake version query was asked for, and what it answers.
std::vector<DWORD> askedSizes;
DWORD reportedPlatform = VER_PLATFORM_WIN32_NT;
DWORD refusedSize = 0;  // a record size the query fails for

BOOL WINAPI FakeQuery(LPOSVERSIONINFOW record) {
  askedSizes.push_back(record->dwOSVersionInfoSize);
  if (record->dwOSVersionInfoSize == refusedSize) return FALSE;
  record->dwPlatformId = reportedPlatform;
  return TRUE;
}

BOOL WINAPI FailingQuery(LPOSVERSIONINFOW record) {
  askedSizes.push_back(record->dwOSVersionInfoSize);
  return FALSE;
}

class WindowsVersion : public testing::Test {
protected:
  void SetUp() override {
    askedSizes.clear();
    reportedPlatform = VER_PLATFORM_WIN32_NT;
    refusedSize = 0;
  }
};

TEST_F(WindowsVersion, AsksForTheExtendedRecordOnly) {
  EXPECT_TRUE(IsWindowsNTFamily(FakeQuery));
  EXPECT_EQ(askedSizes, std::vector<DWORD>{kExtendedSize});
}

TEST_F(WindowsVersion, FallsBackToThePlainRecord) {
  refusedSize = kExtendedSize;
  EXPECT_TRUE(IsWindowsNTFamily(FakeQuery));
  EXPECT_EQ(askedSizes, (std::vector<DWORD>{kExtendedSize, kPlainSize}));
}

TEST_F(WindowsVersion, RefusesOtherPlatformsAndFailedQueries) {
  reportedPlatform = kWindows9x;
  EXPECT_FALSE(IsWindowsNTFamily(FakeQuery));
  EXPECT_FALSE(IsWindowsNTFamily(FailingQuery));
  EXPECT_EQ(askedSizes, (std::vector<DWORD>{kExtendedSize, kExtendedSize, kPlainSize}));
}

TEST_F(WindowsVersion, TheRunningSystemIsNT) {
  EXPECT_TRUE(IsWindowsNTFamily(::GetVersionExW));
}

}  // namespace
