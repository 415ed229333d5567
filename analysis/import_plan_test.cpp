#include "import_plan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "test_support.h"

namespace kestaro {
namespace {

using Draws = std::vector<DrawRecord>;
using Numbers = std::vector<std::int32_t>;

const DrawRecord kA{1, 3, 17, 20, 25, 26};
const DrawRecord kB{2, 11, 12, 21, 30, 28};
const DrawRecord kC{1, 8, 10, 24, 30, 2};
const DrawRecord kD{5, 6, 7, 8, 9, 10};
const DrawRecord kE{4, 9, 13, 22, 31, 1};

// A list as a file without draw numbers gives it, a line a draw.
ImportedDraws listOf(const Draws& draws, const Numbers& numbers = {}) {
  ImportedDraws imported;
  imported.draws = draws;
  imported.numbers = numbers;
  for (std::size_t i = 0; i < draws.size(); ++i) imported.lines.push_back(i + 2);
  return imported;
}

TEST(PlanImport, AppendsWhatFollowsTheOverlap) {
  const ImportPlan plan = planImport({kA, kB}, listOf({kA, kB, kC, kD}), false);
  EXPECT_EQ(plan.skipped, 2u);
  EXPECT_EQ(plan.added, (Draws{kC, kD}));
  EXPECT_FALSE(plan.disjoint);
}

TEST(PlanImport, AppendsNothingTwice) {
  const ImportPlan plan = planImport({kA, kB, kC, kD}, listOf({kA, kB, kC, kD}), false);
  EXPECT_EQ(plan.skipped, 4u);
  EXPECT_TRUE(plan.added.empty());
  EXPECT_FALSE(plan.disjoint);
}

TEST(PlanImport, RefusesAListThatDoesNotMeetTheFile) {
  const ImportPlan plan = planImport({kA, kB}, listOf({kC, kD}), false);
  EXPECT_TRUE(plan.disjoint);
  EXPECT_EQ(plan.skipped, 0u);
  EXPECT_TRUE(plan.added.empty());
  // A list that starts before the file's end meets it nowhere either.
  EXPECT_TRUE(planImport({kA, kB, kC}, listOf({kA, kB}), false).disjoint);
}

TEST(PlanImport, ForcedAppendsTheWholeList) {
  const ImportPlan plan = planImport({kA, kB}, listOf({kC, kD}), true);
  EXPECT_FALSE(plan.disjoint);
  EXPECT_EQ(plan.skipped, 0u);
  EXPECT_EQ(plan.added, (Draws{kC, kD}));
  // Forcing does not bring back what is already there.
  EXPECT_EQ(planImport({kA, kB}, listOf({kB, kC}), true).added, (Draws{kC}));
}

TEST(PlanImport, AnEmptyFileOrListIsNeverDisjoint) {
  const ImportPlan fresh = planImport({}, listOf({kA, kB}), false);
  EXPECT_FALSE(fresh.disjoint);
  EXPECT_EQ(fresh.added, (Draws{kA, kB}));
  const ImportPlan none = planImport({kA}, listOf({}), false);
  EXPECT_FALSE(none.disjoint);
  EXPECT_EQ(none.skipped, 0u);
  EXPECT_TRUE(none.added.empty());
}

// Published newest first, with numbers: taken in their order.
TEST(PlanImport, NumberedDrawsGoInAscendingOrder) {
  const ImportPlan plan = planImport({kA, kB}, listOf({kD, kC, kB, kA}, {4, 3, 2, 1}), false);
  EXPECT_EQ(plan.skipped, 2u);
  EXPECT_EQ(plan.added, (Draws{kC, kD}));
  EXPECT_FALSE(plan.reversed);
  // The same draw twice under its number is taken once.
  EXPECT_EQ(planImport({kA}, listOf({kA, kB, kB}, {1, 2, 2}), false).added, (Draws{kB}));
}

TEST(PlanImport, OneNumberForTwoDrawsIsRefusedEvenForced) {
  const ImportPlan plan = planImport({kA}, listOf({kA, kB, kC}, {1, 2, 2}), true);
  ASSERT_TRUE(plan.conflict);
  EXPECT_EQ(plan.conflict->number, 2);
  EXPECT_EQ(plan.conflict->firstLine, 3u);
  EXPECT_EQ(plan.conflict->secondLine, 4u);
  EXPECT_TRUE(plan.refused());
  EXPECT_TRUE(plan.added.empty());
}

// A gap written into the file would stop the next import of the full list.
TEST(PlanImport, AGapAmongTheDrawsToAddIsRefusedUnlessForced) {
  const ImportPlan plan = planImport({kA, kB}, listOf({kA, kB, kD, kE}, {1, 2, 4, 9}), false);
  EXPECT_EQ(plan.missing, (Numbers{3, 5, 6, 7, 8}));
  EXPECT_TRUE(plan.gapRefused);
  EXPECT_TRUE(plan.added.empty());
  const ImportPlan forced = planImport({kA, kB}, listOf({kA, kB, kD, kE}, {1, 2, 4, 9}), true);
  EXPECT_FALSE(forced.refused());
  EXPECT_EQ(forced.added, (Draws{kD, kE}));
  // Between the last draw present and the first added, too.
  EXPECT_EQ(planImport({kA}, listOf({kA, kB}, {1400, 1402}), false).missing, (Numbers{1401}));
  // A gap only in the part already present is a warning.
  const ImportPlan old = planImport({kA, kB, kC}, listOf({kA, kB, kC, kD}, {1, 5, 6, 7}), false);
  EXPECT_FALSE(old.refused());
  EXPECT_EQ(old.missingPresent, (Numbers{2, 3, 4}));
  EXPECT_EQ(old.added, (Draws{kD}));
}

// Without numbers: as given or reversed, whichever meets the file further.
TEST(PlanImport, AListWithoutNumbersMayBeNewestFirst) {
  const ImportPlan newest = planImport({kA, kB, kC}, listOf({kE, kD, kC, kB, kA}), false);
  EXPECT_TRUE(newest.reversed);
  EXPECT_EQ(newest.skipped, 3u);
  EXPECT_EQ(newest.added, (Draws{kD, kE}));
  // Equal overlaps, an empty file among them: as given.
  EXPECT_FALSE(planImport({}, listOf({kB, kA}), false).reversed);
  EXPECT_EQ(planImport({}, listOf({kB, kA}), false).added, (Draws{kB, kA}));
  EXPECT_FALSE(planImport({kA}, listOf({kA, kB, kA}), false).reversed);
}

}  // namespace
}  // namespace kestaro
