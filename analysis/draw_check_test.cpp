#include "draw_check.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kestaro {
namespace {

TEST(CheckDraw, TakesSixDifferentNumbersFromOneTo31) {
  EXPECT_EQ(checkDraw({3, 8, 15, 22, 29, 11}), std::nullopt);
  EXPECT_EQ(checkDraw({1, 2, 3, 4, 5, 31}), std::nullopt);
  EXPECT_EQ(checkDraw({31, 30, 29, 28, 27, 1}), std::nullopt);  // any order
}

TEST(CheckDraw, RefusesEveryFieldOutOfRange) {
  for (int field = 0; field < 6; ++field) {
    for (int value : {0, 32, -1}) {
      std::int32_t values[6] = {3, 8, 15, 22, 29, 11};
      values[field] = value;
      const DrawRecord draw{values[0], values[1], values[2], values[3], values[4], values[5]};
      EXPECT_EQ(checkDraw(draw), DrawProblem::OutOfRange) << "field " << field << " = " << value;
    }
  }
}

TEST(CheckDraw, RefusesRepeatedMainNumbersAndABonusAmongThem) {
  EXPECT_EQ(checkDraw({3, 8, 8, 22, 29, 11}), DrawProblem::RepeatedMainNumber);
  EXPECT_EQ(checkDraw({3, 8, 15, 22, 3, 11}), DrawProblem::RepeatedMainNumber);
  EXPECT_EQ(checkDraw({3, 8, 15, 22, 29, 8}), DrawProblem::BonusInMain);
  EXPECT_EQ(checkDraw({3, 8, 15, 22, 29, 29}), DrawProblem::BonusInMain);
  // The range is told before a repetition.
  EXPECT_EQ(checkDraw({3, 3, 15, 22, 29, 32}), DrawProblem::OutOfRange);
}

}  // namespace
}  // namespace kestaro
