#include "table_output.h"

#include <gtest/gtest.h>

namespace kestaro {
namespace {

TEST(PercentDigits, TheTablesFigureWithoutItsSign) {
  EXPECT_EQ(percentDigits(15.333333333333334), "15.33");
  EXPECT_EQ(percentDigits(3.125), "3.13");  // half up, as formatPercent rounds
  EXPECT_EQ(percentDigits(9.9), "9.90");
  EXPECT_EQ(percentDigits(100), "100.00");
  EXPECT_EQ(percentDigits(0), "0.00");
}

// JSON's AVG is the number the table shows: the same digits, no more.
TEST(PercentNumber, AsTheTableShowsIt) {
  EXPECT_TRUE(percentNumber(15.333333333333334).is_number_float());
  EXPECT_EQ(percentNumber(15.333333333333334).get<double>(), 15.33);
  EXPECT_EQ(jsonText(percentNumber(15.333333333333334)), "15.33");
  EXPECT_EQ(jsonText(percentNumber(3.125)), "3.13");
  EXPECT_EQ(jsonText(percentNumber(16.666666666666668)), "16.67");
  EXPECT_EQ(jsonText(percentNumber(9.9)), "9.9");
  EXPECT_EQ(jsonText(percentNumber(100)), "100.0");
  EXPECT_EQ(jsonText(percentNumber(0)), "0.0");
  // Below half a hundredth: the table's 0.00, not a negative zero.
  EXPECT_EQ(jsonText(percentNumber(-0.001)), "0.0");
}

}  // namespace
}  // namespace kestaro
