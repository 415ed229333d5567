#include "overlap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "random_source.h"
#include "test_support.h"

namespace kestaro {
namespace {

using Draws = std::vector<DrawRecord>;

const DrawRecord kA{1, 3, 17, 20, 25, 26};
const DrawRecord kB{2, 11, 12, 21, 30, 28};
const DrawRecord kC{1, 8, 10, 24, 30, 2};
const DrawRecord kD{5, 6, 7, 8, 9, 10};

// Every order of the main numbers, repeated values too, is the same draw.
TEST(SameDraw, EveryOrderOfTheMainNumbers) {
  for (std::array<std::int32_t, 5> main : {std::array<std::int32_t, 5>{1, 3, 17, 20, 25},
                                           std::array<std::int32_t, 5>{2, 2, 5, 5, 9}}) {
    const DrawRecord sorted{main[0], main[1], main[2], main[3], main[4], 26};
    int orders = 0;
    do {
      EXPECT_TRUE(sameDraw({main[0], main[1], main[2], main[3], main[4], 26}, sorted));
      EXPECT_FALSE(sameDraw({main[0], main[1], main[2], main[3], main[4], 27}, sorted));
      ++orders;
    } while (std::next_permutation(main.begin(), main.end()));
    EXPECT_GE(orders, 30);
  }
}

TEST(SameDraw, MainNumbersInAnyOrderWithTheSameBonus) {
  EXPECT_TRUE(sameDraw(kA, kA));
  EXPECT_TRUE(sameDraw({1, 3, 17, 20, 25, 26}, {25, 1, 20, 3, 17, 26}));
  EXPECT_FALSE(sameDraw({1, 3, 17, 20, 25, 26}, {1, 3, 17, 20, 25, 27}));
  EXPECT_FALSE(sameDraw({1, 3, 17, 20, 25, 26}, {1, 3, 17, 20, 26, 25}));  // bonus swapped in
  EXPECT_FALSE(sameDraw(kA, kB));
}

TEST(OverlapLength, TheLongestEndOfTheFileThatStartsTheList) {
  EXPECT_EQ(overlapLength({}, {kA, kB}), 0u);
  EXPECT_EQ(overlapLength({kA, kB}, {}), 0u);
  EXPECT_EQ(overlapLength({kA, kB}, {kA, kB}), 2u);
  EXPECT_EQ(overlapLength({kA, kB}, {kA, kB, kC, kD}), 2u);
  EXPECT_EQ(overlapLength({kA, kB, kC}, {kB, kC, kD}), 2u);
  EXPECT_EQ(overlapLength({kA, kB, kC}, {kC}), 1u);
  EXPECT_EQ(overlapLength({kA, kB, kA, kB}, {kA, kB, kA, kB, kC}), 4u);
  EXPECT_EQ(overlapLength({kB, kA}, {kA, kA}), 1u);
  // The start of the file is not its end.
  EXPECT_EQ(overlapLength({kA, kB, kC}, {kA, kB}), 0u);
  EXPECT_EQ(overlapLength({kA, kB}, {kC, kD}), 0u);
}

// Against the definition, tried length by length, on lists of two draws
// (one often repeated), where a border-based search goes wrong first.
TEST(OverlapLength, AgreesWithTryingEveryLength) {
  RandomSource source;
  source.seed(7);
  auto listOf = [&](int length) {
    Draws draws;
    for (int i = 0; i < length; ++i) draws.push_back(source.next() % 4 == 0 ? kB : kA);
    return draws;
  };
  for (int trial = 0; trial < 3000; ++trial) {
    const Draws present = listOf(source.next() % 12), imported = listOf(source.next() % 12);
    std::size_t expected = 0;
    for (std::size_t length = std::min(present.size(), imported.size()); length > 0; --length) {
      if (std::equal(present.end() - static_cast<std::ptrdiff_t>(length), present.end(),
                     imported.begin())) {
        expected = length;
        break;
      }
    }
    ASSERT_EQ(overlapLength(present, imported), expected) << "trial " << trial;
  }
}

TEST(OverlapLength, ComparesAsSameDraw) {
  const DrawRecord reordered{25, 20, 17, 3, 1, 26};
  EXPECT_EQ(overlapLength({kB, kA}, {reordered, kC}), 1u);
}

}  // namespace
}  // namespace kestaro
