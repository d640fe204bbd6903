#include "app/DesktopPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopPlacement, CentresAWindowSmallerThanTheDesktop) {
  EXPECT_EQ(CenteredOffset(1024, 600), 212);
  EXPECT_EQ(CenteredOffset(1024, 411), 306);  // half of 613, truncated
  EXPECT_EQ(CenteredOffset(800, 800), 0);
}

TEST(DesktopPlacement, MovesALargerWindowByHalfTheExcessTheOtherWay) {
  EXPECT_EQ(CenteredOffset(800, 900), 50);
  EXPECT_EQ(CenteredOffset(800, 901), 50);  // -101 / 2 truncates toward zero
}

}  // namespace
