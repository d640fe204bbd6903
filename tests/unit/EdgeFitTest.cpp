#include "controls/EdgeFit.h"

#include <gtest/gtest.h>

namespace {

std::pair<int, int> Fit(int start, int end, int needed, FitAnchor anchor) {
  const Edges fitted = FitEdges({start, end}, needed, anchor);
  return {fitted.start, fitted.end};
}

}  // namespace

TEST(EdgeFit, StartAndEndAnchorsKeepTheirEdge) {
  EXPECT_EQ(Fit(10, 110, 40, FitAnchor::Start), std::make_pair(10, 50));
  EXPECT_EQ(Fit(10, 110, 141, FitAnchor::Start), std::make_pair(10, 151));
  EXPECT_EQ(Fit(10, 110, 40, FitAnchor::End), std::make_pair(70, 110));
  EXPECT_EQ(Fit(10, 110, 141, FitAnchor::End), std::make_pair(-31, 110));
}

TEST(EdgeFit, CentreKeepsTheCentreAndOddDifferencesTruncateTowardZero) {
  EXPECT_EQ(Fit(10, 110, 40, FitAnchor::Centre), std::make_pair(40, 80));
  EXPECT_EQ(Fit(10, 110, 140, FitAnchor::Centre), std::make_pair(-10, 130));
  // Shrinking by 61: each edge moves 30 inward, one pixel wider than needed.
  EXPECT_EQ(Fit(10, 110, 39, FitAnchor::Centre), std::make_pair(40, 80));
  // Growing by 41: each edge moves 20 outward, one pixel narrower than needed.
  EXPECT_EQ(Fit(10, 110, 141, FitAnchor::Centre), std::make_pair(-10, 130));
  EXPECT_EQ(Fit(10, 110, 100, FitAnchor::Centre), std::make_pair(10, 110));
  EXPECT_EQ(Fit(10, 110, 99, FitAnchor::Centre), std::make_pair(10, 110));
}
