#include "frequency_table.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kestaro {
namespace {

TEST(FrequencyTable, CountsByPositionAndSkipsValuesOutsideTheTable) {
  FrequencyTable table;
  table.reset();
  table.addDraw({1, 2, 3, 4, 5, 6});
  table.addDraw({0, -1, 32, 31, 2147483647, 6});
  EXPECT_EQ(table.counts[1][1], 1);
  EXPECT_EQ(table.counts[0][1], 1);
  EXPECT_EQ(table.counts[31][4], 1);
  EXPECT_EQ(table.counts[6][6], 2);
  int columnTwo = 0;
  for (const auto& row : table.counts) columnTwo += row[2];
  EXPECT_EQ(columnTwo, 1);  // the -1 is not counted
  table.reset();
  for (const auto& row : table.counts) EXPECT_EQ(std::accumulate(row.begin(), row.end(), 0), 0);
}

}  // namespace
}  // namespace kestaro
