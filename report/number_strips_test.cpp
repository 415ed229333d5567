#include "number_strips.h"

#include <gtest/gtest.h>

namespace kestaro {
namespace {

TEST(NumberStrips, RecentDrawsAndTheGapSinceTheLast) {
  const std::vector<DrawRecord> draws{
      {1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 1}, {12, 13, 14, 15, 16, 17}, {2, 18, 19, 20, 21, 22}};
  const auto strips = numberStrips(draws, 3);
  EXPECT_EQ(strips[1].recent, (std::vector<Came>{Came::Bonus, Came::No, Came::No}));
  EXPECT_EQ(strips[1].gap, 2);  // the bonus counts as coming up
  EXPECT_EQ(strips[2].recent, (std::vector<Came>{Came::No, Came::No, Came::Main}));
  EXPECT_EQ(strips[2].gap, 0);
  EXPECT_EQ(strips[6].gap, 3);                             // before the strip starts
  EXPECT_FALSE(strips[31].gap);                            // never
  EXPECT_EQ(numberStrips(draws).at(5).recent.size(), 4u);  // a short history shows all
  EXPECT_TRUE(numberStrips({})[3].recent.empty());
}

}  // namespace
}  // namespace kestaro
