#include "score_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "random_source.h"
#include "test_support.h"

namespace kestaro {
namespace {

using testing::tableOf;

// Every valid combination, scored one by one.
double bruteForceMax(const ScoreTable& scores) {
  double best = -1;
  std::array<int, 5> n;
  for (n[0] = 1; n[0] <= 31; ++n[0])
    for (n[1] = n[0] + 1; n[1] <= 31; ++n[1])
      for (n[2] = n[1] + 1; n[2] <= 31; ++n[2])
        for (n[3] = n[2] + 1; n[3] <= 31; ++n[3])
          for (n[4] = n[3] + 1; n[4] <= 31; ++n[4])
            for (int z = 1; z <= 31; ++z) {
              if (z == n[0] || z == n[1] || z == n[2] || z == n[3] || z == n[4]) continue;
              best = std::max(best, scoreOf(scores, n, z));
            }
  return best;
}

TEST(MaxScore, EqualsTheBestOfEveryCombination) {
  RandomSource source;
  source.seed(77);
  for (int draws : {1, 7, 24, 1397}) {
    FrequencyTable table;
    table.reset();
    for (int i = 0; i < draws; ++i) {
      // Skewed so that the best main numbers often collide with the best bonus.
      int a = source.nextNumber() % 8 + 1;
      table.addDraw({a, a + 3, a + 9, a + 15, a + 20, source.nextNumber() % 6 + a});
    }
    ScoreTable scores = makeScoreTable(table, draws);
    EXPECT_EQ(maxScore(scores), bruteForceMax(scores)) << draws;
  }
  EXPECT_EQ(maxScore(ScoreTable{}), 0.0);
}

// The counts for many thresholds at once are those of one threshold at a
// time, the tie at exactly 10 and the best score included.
TEST(CountsReaching, AreTheCountsOfEachThreshold) {
  int drawCount = 0;
  const FrequencyTable table = tableOf(
      "1,6,11,0,0,0\r\n2,7,12,0,0,0\r\n3,8,13,0,0,0\r\n"
      "4,9,14,0,0,0\r\n5,10,15,0,0,0\r\n",
      &drawCount);
  const ScoreTable scores = makeScoreTable(table, drawCount);
  const std::vector<double> thresholds{0, 1, 3.3, 6.7, 10, maxScore(scores), 10.05};
  const std::vector<std::int64_t> counts = countsReaching(scores, thresholds);
  ASSERT_EQ(counts.size(), thresholds.size());
  for (std::size_t i = 0; i < thresholds.size(); ++i)
    EXPECT_EQ(counts[i], countReaching(scores, thresholds[i])) << thresholds[i];
  EXPECT_EQ(counts[0], kCombinations);
  EXPECT_EQ(counts[6], 0);
}

}  // namespace
}  // namespace kestaro
