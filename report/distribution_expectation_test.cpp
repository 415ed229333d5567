#include "distribution_expectation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kestaro {
namespace {

// How many of the 169,911 sets of five hold n as their p-th smallest,
// counted one set at a time.
std::array<std::array<double, 6>, 32> countedChances() {
  std::array<std::array<double, 6>, 32> q{};
  int n[5];
  for (n[0] = 1; n[0] <= 27; ++n[0])
    for (n[1] = n[0] + 1; n[1] <= 28; ++n[1])
      for (n[2] = n[1] + 1; n[2] <= 29; ++n[2])
        for (n[3] = n[2] + 1; n[3] <= 30; ++n[3])
          for (n[4] = n[3] + 1; n[4] <= 31; ++n[4])
            for (int p = 0; p < 5; ++p) q[n[p]][p + 1] += 1.0 / 169911;
  return q;
}

TEST(DistributionExpectation, PublishedDrawsFollowTheOrderOfFive) {
  const std::vector<DrawRecord> draws{
      {1, 5, 9, 20, 31, 7}, {2, 3, 4, 5, 6, 1}, {3, 8, 12, 17, 29, 30}};
  const DistributionExpectation e = distributionExpectation(draws);
  const auto q = countedChances();
  for (int n = 1; n <= 31; ++n) {
    for (int p = 1; p <= 5; ++p) {
      EXPECT_NEAR(e.cells[n][p].expected, 3 * q[n][p], 1e-9) << n << " " << p;
      EXPECT_NEAR(e.cells[n][p].variance, 3 * q[n][p] * (1 - q[n][p]), 1e-9) << n << " " << p;
    }
    EXPECT_NEAR(e.cells[n][6].expected, 3.0 / 31, 1e-12);
    EXPECT_NEAR(e.cells[n][7].expected, 3 * 6.0 / 31, 1e-12);
    EXPECT_NEAR(e.cells[n][7].variance, 3 * 6.0 / 31 * 25.0 / 31, 1e-12);
  }
  // Number 1 is never the second smallest: nothing to compare with.
  EXPECT_EQ(e.cells[1][2].variance, 0);
  EXPECT_FALSE(standardized(0, e.cells[1][2]));
  EXPECT_NEAR(*standardized(3, e.cells[1][1]),
              (3 - 3 * q[1][1]) / std::sqrt(3 * q[1][1] * (1 - q[1][1])), 1e-12);
}

TEST(DistributionExpectation, DrawsInAnyOtherOrderAreEvenAtEachPosition) {
  // Hand-edited: out of order, and a number twice.
  const std::vector<DrawRecord> draws{{9, 5, 1, 20, 31, 7}, {4, 4, 5, 6, 7, 8}};
  const DistributionExpectation e = distributionExpectation(draws);
  for (int n = 1; n <= 31; ++n)
    for (int p = 1; p <= 6; ++p) {
      EXPECT_NEAR(e.cells[n][p].expected, 2.0 / 31, 1e-12);
      EXPECT_NEAR(e.cells[n][p].variance, 2.0 / 31 * 30.0 / 31, 1e-12);
    }
  EXPECT_EQ(distributionExpectation({}).cells[5][3].expected, 0);
}

}  // namespace
}  // namespace kestaro
