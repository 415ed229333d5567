#include "draw_import.h"

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

TEST(ParseDrawText, ReadsSixFieldsInOrder) {
  const ParsedDraw parsed = parseDrawText("3,8,15,22,29,11");
  EXPECT_EQ(parsed.problem, std::nullopt);
  EXPECT_EQ(parsed.draw, (DrawRecord{3, 8, 15, 22, 29, 11}));
  EXPECT_EQ(parseDrawText(" 3, 8 ,15,22,+29,11").draw, (DrawRecord{3, 8, 15, 22, 29, 11}));
  EXPECT_EQ(parseDrawText("3\t8\t15\t22\t29\t11").draw, (DrawRecord{3, 8, 15, 22, 29, 11}));
}

TEST(ParseDrawText, TellsWhatIsWrong) {
  EXPECT_EQ(parseDrawText("3,8,15,22,29").problem, DrawProblem::MissingField);
  EXPECT_EQ(parseDrawText("3,8,15,22,29,11,12").problem, DrawProblem::MissingField);
  EXPECT_EQ(parseDrawText("").problem, DrawProblem::MissingField);
  EXPECT_EQ(parseDrawText("3,x,15,22,29,11").problem, DrawProblem::NotAnInteger);
  EXPECT_EQ(parseDrawText("3,8.0,15,22,29,11").problem, DrawProblem::NotAnInteger);
  EXPECT_EQ(parseDrawText("3,,15,22,29,11").problem, DrawProblem::NotAnInteger);
  EXPECT_EQ(parseDrawText("3,99999999999,15,22,29,11").problem, DrawProblem::NotAnInteger);
  EXPECT_EQ(parseDrawText("3,8,15,22,29,32").problem, DrawProblem::OutOfRange);
  EXPECT_EQ(parseDrawText("0,8,15,22,29,11").problem, DrawProblem::OutOfRange);
  EXPECT_EQ(parseDrawText("3,8,8,22,29,11").problem, DrawProblem::RepeatedMainNumber);
  EXPECT_EQ(parseDrawText("3,8,15,22,29,8").problem, DrawProblem::BonusInMain);
}

TEST(ParseImport, SkipsAHeaderAndBlankLines) {
  const ImportedDraws imported = parseImport(
      "Draw,Date,N1,N2,N3,N4,N5,Bonus\n"
      "1,2000-01-01,1,3,17,20,25,26\n"
      "\n"
      "  \t\r\n"
      "2,2000-01-08,2,11,12,21,30,28\n",
      {3, 4, 5, 6, 7, 8});
  EXPECT_EQ(imported.badLine, 0u);
  EXPECT_EQ(imported.draws, (Draws{kA, kB}));
}

TEST(ParseImport, TakesNoHeaderWhenTheFirstLineHoldsADraw) {
  EXPECT_EQ(parseImport("1,3,17,20,25,26\r\n2,11,12,21,30,28").draws, (Draws{kA, kB}));
  // A first line of wrong numbers is a bad line, not a header.
  const ImportedDraws imported = parseImport("1,3,17,20,25,32\n2,11,12,21,30,28\n");
  EXPECT_EQ(imported.badLine, 1u);
  EXPECT_EQ(imported.problem, DrawProblem::OutOfRange);
}

TEST(ParseImport, AHeaderMayFollowBlankLinesButOnlyOnce) {
  EXPECT_EQ(parseImport("\n\nN1,N2,N3,N4,N5,B\n1,3,17,20,25,26\n").draws, (Draws{kA}));
  const ImportedDraws imported = parseImport("N1,N2,N3,N4,N5,B\nN1,N2,N3,N4,N5,B\n");
  EXPECT_EQ(imported.badLine, 2u);
  EXPECT_EQ(imported.problem, DrawProblem::NotAnInteger);
}

TEST(ParseImport, CountsBlankLinesInTheBadLineNumber) {
  const ImportedDraws imported = parseImport("1,3,17,20,25,26\n\n\n2,11,12,21,30\n5,6,7,8,9,10\n");
  EXPECT_EQ(imported.badLine, 4u);
  EXPECT_EQ(imported.problem, DrawProblem::MissingField);
  EXPECT_EQ(imported.draws, (Draws{kA}));  // the reading ends there
}

TEST(ParseImport, TellsEachProblemOfALine) {
  const std::string ok = "1,3,17,20,25,26\n";
  EXPECT_EQ(parseImport(ok + "2,x,12,21,30,28\n").problem, DrawProblem::NotAnInteger);
  EXPECT_EQ(parseImport(ok + "2,2,12,21,30,28\n").problem, DrawProblem::RepeatedMainNumber);
  EXPECT_EQ(parseImport(ok + "2,11,12,21,30,30\n").problem, DrawProblem::BonusInMain);
  EXPECT_EQ(parseImport(ok + "2,11,12,21,30,0\n").problem, DrawProblem::OutOfRange);
  EXPECT_EQ(parseImport(ok + "2,11,12,21,30,0\n").badLine, 2u);
}

TEST(ParseImport, ReadsQuotedFieldsTabsAndAByteOrderMark) {
  EXPECT_EQ(parseImport("\xEF\xBB\xBF\"1\",\"3\",\"17\",\"20\",\"25\",\"26\"\r\n").draws,
            (Draws{kA}));
  EXPECT_EQ(parseImport("2\t11\t12\t21\t30\t28\n").draws, (Draws{kB}));
  EXPECT_EQ(parseImport("\"No\",\"A\",\"B\",\"C\",\"D\",\"E\",\"Z\"\n9,1,3,17,20,25,26\n",
                        {2, 3, 4, 5, 6, 7})
                .draws,
            (Draws{kA}));
}

// Quoted fields hold separators, doubled quotes and line breaks; a record's
// line is the one it starts on, whichever line ends the file uses.
TEST(ParseImport, ReadsRecordsByCsvRules) {
  const ImportedDraws quoted = parseImport(
      "\"No\",\"Note\",A,B,C,D,E,Z\n"
      "1,\"a, \"\"quoted\"\"\nnote\",1,3,17,20,25,26\n"
      "2,\"\",2,11,12,21,30,28\n"
      "3,x,2,11,12,21,30\n",
      {3, 4, 5, 6, 7, 8});
  EXPECT_EQ(quoted.draws, (Draws{kA, kB}));
  EXPECT_EQ(quoted.badLine, 5u);  // the note took two lines
  for (const std::string end : {"\n", "\r\n", "\r", "\x1a"}) {
    const ImportedDraws lines =
        parseImport("1,3,17,20,25,26" + end + end + "2,11,12,21,30,28" + end + "1,2" + end);
    EXPECT_EQ(lines.draws, (Draws{kA, kB})) << ::testing::PrintToString(end);
    EXPECT_EQ(lines.badLine, 4u) << ::testing::PrintToString(end);
  }
  // An old export: CR alone, ended by 0x1A.
  EXPECT_EQ(parseImport("A,B,C,D,E,Z\r1,3,17,20,25,26\r2,11,12,21,30,28\r\x1a").draws,
            (Draws{kA, kB}));
}

TEST(ParseImport, ReadsNumbersAsResultsFilesWriteThem) {
  // Zero-padded, spaced, full-width, the bonus in parentheses of either width.
  EXPECT_EQ(parseImport("01, 03 ,\xEF\xBC\x91\xEF\xBC\x97,\xE3\x80\x80"
                        "20,25,(26)\n")
                .draws,
            (Draws{kA}));
  EXPECT_EQ(parseImport("2,11,12,21,30,\xEF\xBC\x88\xEF\xBC\x92\xEF\xBC\x98\xEF\xBC\x89\n").draws,
            (Draws{kB}));
  EXPECT_EQ(parseImport("2,11,12,21,30,( 28 )\n").draws, (Draws{kB}));
  for (const char* bad : {"(28", "2 8", "28)", "\xEF\xBC\x92x", "", "99999999999"}) {
    const ImportedDraws imported =
        parseImport(std::string("1,3,17,20,25,26\n2,11,12,21,30,") + bad);
    EXPECT_EQ(imported.badLine, 2u) << bad;
    EXPECT_EQ(imported.problem, DrawProblem::NotAnInteger) << bad;
  }
}

// A first line with numbers is a draw, however damaged: reported, never
// skipped as if it were a header.
TEST(ParseImport, AFirstLineWithNumbersIsNeverAHeader) {
  for (const char* first : {"1,3,17,20,25,x", "1,3,17,20,25", "x,3,17,20,25,26"}) {
    const ImportedDraws imported = parseImport(std::string(first) + "\n2,11,12,21,30,28\n");
    EXPECT_EQ(imported.badLine, 1u) << first;
    EXPECT_TRUE(imported.draws.empty()) << first;
  }
  EXPECT_EQ(parseImport("x,y,z,,,\n2,11,12,21,30,28\n").draws, (Draws{kB}));
}

TEST(ParseImport, TakesTheValuesFromTheChosenColumns) {
  // Bonus first, the main numbers backwards.
  const ImportedDraws imported = parseImport("26,25,20,17,3,1\n", {6, 5, 4, 3, 2, 1});
  EXPECT_EQ(imported.badLine, 0u);
  EXPECT_EQ(imported.draws, (Draws{kA}));
  // A column past the line's last field.
  const ImportedDraws shortLine =
      parseImport("1,3,17,20,25,26\n1,3,17,20,25,26\n", {1, 2, 3, 4, 5, 7});
  EXPECT_EQ(shortLine.badLine, 1u);  // numbers and a missing field: no header
  EXPECT_EQ(shortLine.problem, DrawProblem::MissingField);
}

TEST(ParseImport, ReadsNothingFromNothing) {
  EXPECT_TRUE(parseImport("").draws.empty());
  EXPECT_EQ(parseImport("").badLine, 0u);
  EXPECT_TRUE(parseImport("\n\r\n").draws.empty());
}

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

TEST(PlanImport, AppendsWhatFollowsTheOverlap) {
  const ImportPlan plan = planImport({kA, kB}, {kA, kB, kC, kD}, false);
  EXPECT_EQ(plan.skipped, 2u);
  EXPECT_EQ(plan.added, (Draws{kC, kD}));
  EXPECT_FALSE(plan.disjoint);
}

TEST(PlanImport, AppendsNothingTwice) {
  const ImportPlan plan = planImport({kA, kB, kC, kD}, {kA, kB, kC, kD}, false);
  EXPECT_EQ(plan.skipped, 4u);
  EXPECT_TRUE(plan.added.empty());
  EXPECT_FALSE(plan.disjoint);
}

TEST(PlanImport, RefusesAListThatDoesNotMeetTheFile) {
  const ImportPlan plan = planImport({kA, kB}, {kC, kD}, false);
  EXPECT_TRUE(plan.disjoint);
  EXPECT_EQ(plan.skipped, 0u);
  EXPECT_TRUE(plan.added.empty());
  // A list that starts before the file's end meets it nowhere either.
  EXPECT_TRUE(planImport({kA, kB, kC}, {kA, kB}, false).disjoint);
}

TEST(PlanImport, ForcedAppendsTheWholeList) {
  const ImportPlan plan = planImport({kA, kB}, {kC, kD}, true);
  EXPECT_FALSE(plan.disjoint);
  EXPECT_EQ(plan.skipped, 0u);
  EXPECT_EQ(plan.added, (Draws{kC, kD}));
  // Forcing does not bring back what is already there.
  EXPECT_EQ(planImport({kA, kB}, {kB, kC}, true).added, (Draws{kC}));
}

TEST(PlanImport, AnEmptyFileOrListIsNeverDisjoint) {
  const ImportPlan fresh = planImport({}, {kA, kB}, false);
  EXPECT_FALSE(fresh.disjoint);
  EXPECT_EQ(fresh.added, (Draws{kA, kB}));
  const ImportPlan none = planImport({kA}, {}, false);
  EXPECT_FALSE(none.disjoint);
  EXPECT_EQ(none.skipped, 0u);
  EXPECT_TRUE(none.added.empty());
}

}  // namespace
}  // namespace kestaro
