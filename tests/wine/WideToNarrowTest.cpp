#include "framework/WideToNarrow.h"

#include <gtest/gtest.h>

TEST(WideToNarrow, ConvertsIntoTheThreadCodePage) {
  char narrow[2 * (12 + 1)];
  EXPECT_EQ(WideToNarrowExact(narrow, L"time.example", sizeof narrow, CP_THREAD_ACP), narrow);
  EXPECT_STREQ(narrow, "time.example");
}

TEST(WideToNarrow, FailsWithNullArgumentsOrTooLittleRoom) {
  char narrow[4] = "old";
  EXPECT_EQ(WideToNarrowExact(nullptr, L"x", 4, CP_THREAD_ACP), nullptr);
  EXPECT_EQ(WideToNarrowExact(narrow, nullptr, 4, CP_THREAD_ACP), nullptr);
  EXPECT_STREQ(narrow, "old");
  EXPECT_EQ(WideToNarrowExact(narrow, L"four", sizeof narrow, CP_THREAD_ACP), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}
