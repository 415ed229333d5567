#include "random_source.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kestaro {
namespace {

TEST(RandomSource, CheckValues) {
  RandomSource source;
  EXPECT_EQ(source.state, 1u);  // unseeded
  source.seed(1);
  for (int expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(source.next(), expected);
  source.seed(0);
  for (int expected : {38, 7719, 21238, 2437, 8855}) EXPECT_EQ(source.next(), expected);
}

TEST(RandomSource, NeverReturnsMoreThanFifteenBits) {
  for (std::uint32_t seed : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    RandomSource source;
    source.seed(seed);
    for (int i = 0; i < 100000; ++i) ASSERT_LE(source.next(), 32767);
  }
}

TEST(RandomSource, NeighbouringSeedsGiveCloseFirstResults) {
  for (std::uint32_t seed : {0u, 1700000000u, 4294967294u}) {
    RandomSource a, b;
    a.seed(seed);
    b.seed(seed + 1);
    int step = (b.next() - a.next() + 32768) % 32768;
    EXPECT_TRUE(step == 3 || step == 4) << seed;
  }
}

TEST(RandomSource, ClockSeedTakesTheLowThirtyTwoBits) {
  EXPECT_EQ(clockSeed([] { return (std::int64_t{1} << 32) + 5; }), 5u);
  EXPECT_EQ(clockSeed([] { return std::int64_t{1700000000}; }), 1700000000u);
  EXPECT_EQ(clockSeed([] { return std::int64_t{-1}; }), 4294967295u);
}

TEST(NumberFromRaw, MappingTable) {
  EXPECT_EQ(numberFromRaw(0), 1);
  EXPECT_EQ(numberFromRaw(1057), 1);
  EXPECT_EQ(numberFromRaw(1058), 2);
  EXPECT_EQ(numberFromRaw(2114), 2);
  EXPECT_EQ(numberFromRaw(2115), 3);
  EXPECT_EQ(numberFromRaw(15855), 15);
  EXPECT_EQ(numberFromRaw(15856), 16);
  EXPECT_EQ(numberFromRaw(16912), 16);
  EXPECT_EQ(numberFromRaw(30654), 30);
  EXPECT_EQ(numberFromRaw(31710), 30);
  EXPECT_EQ(numberFromRaw(31711), 31);
  EXPECT_EQ(numberFromRaw(32767), 31);
}

TEST(NumberFromRaw, EqualsTheDoubleFormulaEverywhere) {
  int perNumber[32] = {};
  for (int raw = 0; raw <= 32767; ++raw) {
    int viaDouble = static_cast<int>(raw / 32768.0 * 31.0) + 1;
    ASSERT_EQ(numberFromRaw(raw), viaDouble) << raw;
    ++perNumber[numberFromRaw(raw)];
  }
  EXPECT_EQ(perNumber[1], 1058);
  for (int n = 2; n <= 31; ++n) EXPECT_EQ(perNumber[n], 1057) << n;
}

}  // namespace
}  // namespace kestaro
