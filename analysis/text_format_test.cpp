#include "text_format.h"

#include <gtest/gtest.h>

namespace kestaro {
namespace {

TEST(FormatPercent, TiesRoundHalfUp) {
  EXPECT_EQ(formatPercent(3.125), "3.13%");
  EXPECT_EQ(formatPercent(0.625), "0.63%");
  EXPECT_EQ(formatPercent(15.625), "15.63%");
  EXPECT_EQ(formatPercent(0.125), "0.13%");
}

TEST(FormatPercent, RoundsOnSeventeenDigitsNotOnTheBinaryValue) {
  EXPECT_EQ(formatPercent(43 / (4000 / 100.0)), "1.08%");  // 1.0749999999999999556
  EXPECT_EQ(formatPercent(2.675), "2.67%");                // 2.6749999999999998224
  EXPECT_EQ(formatPercent(9.995), "9.99%");
  EXPECT_EQ(formatPercent(0.005), "0.01%");
}

TEST(FormatPercent, AlwaysTwoDecimalsAndNoPadding) {
  EXPECT_EQ(formatPercent(0.0), "0.00%");
  EXPECT_EQ(formatPercent(1e-20), "0.00%");
  EXPECT_EQ(formatPercent(100.0), "100.00%");
  EXPECT_EQ(formatPercent(600.0), "600.00%");
  EXPECT_EQ(formatPercent(100.0 / 3), "33.33%");
  EXPECT_EQ(formatPercent(50.0 / 3), "16.67%");
  EXPECT_EQ(formatPercent(99.999), "100.00%");
  EXPECT_EQ(formatPercent(-2.5), "-2.50%");
}

TEST(FormatLabels, WidthsPadOnTheLeftAndNeverCut) {
  EXPECT_EQ(formatTabulationLabel(1), "No.  1");
  EXPECT_EQ(formatTabulationLabel(31), "No. 31");
  EXPECT_EQ(formatTabulationLabel(1000), "No.1000");
  EXPECT_EQ(formatCandidateLabel(1), "No. 1");
  EXPECT_EQ(formatCandidateLabel(10), "No.10");
  EXPECT_EQ(formatCandidateLabel(100), "No.100");
  EXPECT_EQ(formatNumber(-5), "-5");
}

}  // namespace
}  // namespace kestaro
