#include "list_sort.h"

#include <gtest/gtest.h>

namespace kestaro {
namespace {

TEST(SortDirections, EachColumnTurnsOnItsOwn) {
  SortDirections directions;
  EXPECT_EQ(directions.toggle(7), kAscending);
  EXPECT_EQ(directions.toggle(7), kDescending);
  EXPECT_EQ(directions.toggle(7), kAscending);
  EXPECT_EQ(directions.toggle(3), kAscending);  // whatever column 7 holds
  EXPECT_EQ(directions.direction[0], kUnsorted);
}

TEST(CellValue, ReadsLikeAtof) {
  EXPECT_EQ(cellValue("No. 3"), 0);
  EXPECT_EQ(cellValue("No.10"), 0);
  EXPECT_EQ(cellValue(""), 0);
  EXPECT_EQ(cellValue("12"), 12);
  EXPECT_EQ(cellValue("17.65%"), 17.65);
  EXPECT_EQ(cellValue("12.50%"), 12.5);
  EXPECT_EQ(cellValue("  -5"), -5);
  EXPECT_EQ(cellValue("+7x"), 7);
  EXPECT_EQ(cellValue("1e2"), 100);
  EXPECT_EQ(cellValue("1e"), 1);
  EXPECT_EQ(cellValue(".5"), 0.5);
  EXPECT_EQ(cellValue("."), 0);
  EXPECT_EQ(cellValue("-"), 0);
}

TEST(CellValue, ReadsAtMost29Characters) {
  std::string text = std::string(28, '0') + "12";  // the 2 is the 30th character
  EXPECT_EQ(cellValue(text), 1);
}

TEST(CompareRows, AscendingAndEveryOtherDirectionDescending) {
  EXPECT_LT(compareRows(1, 2, kAscending), 0);
  EXPECT_GT(compareRows(2, 1, kAscending), 0);
  EXPECT_EQ(compareRows(2, 2, kAscending), 0);
  EXPECT_GT(compareRows(1, 2, kDescending), 0);
  EXPECT_LT(compareRows(2, 1, kUnsorted), 0);
}

TEST(LabelsToRewrite, UpToPickCountButNeverPastTheLastRow) {
  EXPECT_EQ(labelsToRewrite(10, 4), 4);
  EXPECT_EQ(labelsToRewrite(3, 10), 3);
  EXPECT_EQ(labelsToRewrite(0, 10), 0);
  EXPECT_EQ(labelsToRewrite(-5, 10), 0);
  EXPECT_EQ(labelsToRewrite(2147483647, 10), 10);  // never two billion empty writes
}

}  // namespace
}  // namespace kestaro
