#include "import_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// `count` different draws.
Draws distinctDraws(int count) {
  Draws draws;
  for (int b = 2; b <= 31; ++b)
    for (int c = b + 1; c <= 31; ++c)
      for (int e = c + 2; e <= 30 && static_cast<int>(draws.size()) < count; ++e)
        draws.push_back({1, b, c, c + 1, e, 31});
  return draws;
}

// LOTO.DAT holds draws 1 to 1,100, the list 1 to 1,200 without 1,000: the
// file's last draws, found together in the list, decide where the new ones
// begin, and the gap before them is a warning.
TEST(PlanImport, TheFilesLastDrawsFoundInTheListMeetAGapInThePartPresent) {
  const Draws all = distinctDraws(1200);
  const Draws present(all.begin(), all.begin() + 1100);
  const auto listWithout = [&](const Numbers& gone, int last) {
    Draws draws;
    Numbers numbers;
    for (int n = 1; n <= last; ++n) {
      if (std::find(gone.begin(), gone.end(), n) != gone.end()) continue;
      draws.push_back(all[static_cast<std::size_t>(n - 1)]);
      numbers.push_back(n);
    }
    return listOf(draws, numbers);
  };
  const ImportPlan plan = planImport(present, listWithout({1000}, 1200), false);
  EXPECT_FALSE(plan.refused());
  EXPECT_EQ(plan.skipped, 1099u);
  EXPECT_EQ(plan.added, Draws(all.begin() + 1100, all.end()));
  EXPECT_EQ(plan.missingPresent, (Numbers{1000}));
  EXPECT_TRUE(plan.missing.empty());
  // Up to date but for the gap: nothing to add, and the warning.
  const ImportPlan upToDate = planImport(present, listWithout({1000}, 1100), false);
  EXPECT_FALSE(upToDate.refused());
  EXPECT_TRUE(upToDate.added.empty());
  EXPECT_EQ(upToDate.missingPresent, (Numbers{1000}));
  // A gap after them is refused as ever.
  const ImportPlan later = planImport(present, listWithout({1000, 1150}, 1200), false);
  EXPECT_TRUE(later.gapRefused);
  EXPECT_EQ(later.missing, (Numbers{1150}));
  EXPECT_TRUE(later.added.empty());
  // Where the file's last draw is nowhere in the list, the two do not meet.
  EXPECT_TRUE(planImport(present, listWithout({1100}, 1200), false).disjoint);
  EXPECT_TRUE(planImport(present, listWithout({}, 900), false).disjoint);
}

// A line pasted twice: the same draw on adjacent lines of a list without
// numbers, among the draws to add or as the first of them after the file's
// last; a repeat in the part already present is none of the import's concern.
TEST(PlanImport, TheSameDrawOnAdjacentLinesIsRefusedUnlessForced) {
  struct Case {
    Draws present, list;
    std::size_t firstLine, secondLine;  // the lines named; 0 for none
    Draws forced;                       // what a forced import adds
  };
  // The list's draws stand on lines 2, 3 and so on.
  const Case cases[] = {
      {{kA, kB}, {kA, kB, kC, kC, kD}, 4, 5, {kC, kC, kD}},
      {{kA, kB}, {kB, kB, kC}, 2, 3, {kB, kC}},
      {{}, {kA, kA}, 2, 3, {kA, kA}},
      {{kA, kB}, {kE, kD, kC, kC, kB, kA}, 4, 5, {kC, kC, kD, kE}},  // newest first
      {{kA, kA, kB}, {kA, kA, kB, kC}, 0, 0, {kC}},
      {{kA, kB}, {kA, kB, kC, kA, kC}, 0, 0, {kC, kA, kC}},
  };
  for (const Case& c : cases) {
    const ImportPlan plan = planImport(c.present, listOf(c.list), false);
    const bool refused = c.firstLine != 0;
    EXPECT_EQ(plan.refused(), refused) << ::testing::PrintToString(c.list);
    EXPECT_EQ(plan.added, refused ? Draws{} : c.forced) << ::testing::PrintToString(c.list);
    EXPECT_EQ(plan.repeat.has_value(), refused) << ::testing::PrintToString(c.list);
    if (plan.repeat) {
      EXPECT_EQ(plan.repeat->firstLine, c.firstLine) << ::testing::PrintToString(c.list);
      EXPECT_EQ(plan.repeat->secondLine, c.secondLine) << ::testing::PrintToString(c.list);
    }
    const ImportPlan forced = planImport(c.present, listOf(c.list), true);
    EXPECT_FALSE(forced.refused()) << ::testing::PrintToString(c.list);
    EXPECT_EQ(forced.added, c.forced) << ::testing::PrintToString(c.list);
  }
  // With numbers, the same draw twice under one number is taken once.
  EXPECT_FALSE(planImport({kA}, listOf({kA, kB, kB}, {1, 2, 2}), false).refused());
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
