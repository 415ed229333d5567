#include "tabulation.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "test_support.h"

namespace kestaro {
namespace {

using testing::kDistributionCaptionUtf8;
using testing::kHistoryCaptionUtf8;
using testing::RecordingDisplay;
using testing::repeat;
using testing::TempFolder;
using testing::writeBytes;
using Cells = std::vector<std::string>;

// Runs a tabulation over a draw file holding `bytes`.
void tabulate(TabulationMode mode, const std::string& bytes, RecordingDisplay& display) {
  TempFolder folder;
  writeBytes(folder.file("LOTO.DAT"), bytes);
  showTabulation(mode, display, folder.file("LOTO.DAT").c_str());
}

TEST(Tabulation, MissingFileChangesNothing) {
  for (auto mode : {TabulationMode::History, TabulationMode::Distribution}) {
    TempFolder folder;
    RecordingDisplay display;
    showTabulation(mode, display, folder.file("LOTO.DAT").c_str());
    EXPECT_TRUE(display.rows().empty());
    EXPECT_TRUE(display.captions().empty());
  }
}

TEST(Tabulation, CaptionsAreTheProgramsTexts) {
  RecordingDisplay history, distribution;
  tabulate(TabulationMode::History, "", history);
  tabulate(TabulationMode::Distribution, "", distribution);
  EXPECT_EQ(history.caption(), kHistoryCaptionUtf8);
  EXPECT_EQ(distribution.caption(), kDistributionCaptionUtf8);
  EXPECT_EQ(history.captions().size(), 1u);
}

TEST(History, EmptyFileShowsNoRow) {
  RecordingDisplay display;
  tabulate(TabulationMode::History, "", display);
  EXPECT_TRUE(display.rows().empty());
}

TEST(History, OneRowPerDrawWithValuesUnchanged) {
  RecordingDisplay display;
  tabulate(TabulationMode::History, "1,2,3,4,5,6\r\n-5,0,99,31,1,2\r\n", display);
  ASSERT_EQ(display.rows().size(), 2u);
  EXPECT_EQ(display.row(0), (Cells{"No.  1", "1", "2", "3", "4", "5", "6", ""}));
  EXPECT_EQ(display.row(1), (Cells{"No.  2", "-5", "0", "99", "31", "1", "2", ""}));
  EXPECT_EQ(display.rows()[1].itemData, 1);
}

TEST(History, ThousandthRowReadsNo1000) {
  RecordingDisplay display;
  tabulate(TabulationMode::History, repeat("1,2,3,4,5,6\r\n", 1000), display);
  ASSERT_EQ(display.rows().size(), 1000u);
  EXPECT_EQ(display.row(99)[0], "No.100");
  EXPECT_EQ(display.row(999)[0], "No.1000");
}

TEST(Distribution, EmptyFileShowsThirtyOneZeroRows) {
  RecordingDisplay display;
  tabulate(TabulationMode::Distribution, "", display);
  ASSERT_EQ(display.rows().size(), 31u);
  EXPECT_EQ(display.row(0), (Cells{"No.  1", "0", "0", "0", "0", "0", "0", "0.00%"}));
  EXPECT_EQ(display.row(30), (Cells{"No. 31", "0", "0", "0", "0", "0", "0", "0.00%"}));
}

TEST(Distribution, SingleDrawShowsItsNumbersAtTheirPositions) {
  RecordingDisplay display;
  tabulate(TabulationMode::Distribution, "1,2,3,4,5,6\r\n", display);
  EXPECT_EQ(display.row(0), (Cells{"No.  1", "1", "0", "0", "0", "0", "0", "100.00%"}));
  EXPECT_EQ(display.row(5), (Cells{"No.  6", "0", "0", "0", "0", "0", "1", "100.00%"}));
  EXPECT_EQ(display.row(6), (Cells{"No.  7", "0", "0", "0", "0", "0", "0", "0.00%"}));
}

TEST(Distribution, AverageIsPerHundredDraws) {
  RecordingDisplay three;
  tabulate(TabulationMode::Distribution, "7,8,9,10,11,12\r\n1,2,3,4,5,6\r\n1,2,3,4,5,6\r\n", three);
  EXPECT_EQ(three.row(6)[7], "33.33%");
  EXPECT_EQ(three.row(0)[7], "66.67%");

  RecordingDisplay thirty;
  tabulate(TabulationMode::Distribution,
           repeat("1,2,3,4,5,12\r\n", 5) + repeat("1,2,3,4,5,6\r\n", 25), thirty);
  EXPECT_EQ(thirty.row(11)[7], "16.67%");
  EXPECT_EQ(thirty.row(11)[6], "5");
}

TEST(Distribution, RepeatedNumberCountsAtEveryPosition) {
  RecordingDisplay display;
  tabulate(TabulationMode::Distribution, "9,9,9,9,9,9\r\n", display);
  EXPECT_EQ(display.row(8), (Cells{"No.  9", "1", "1", "1", "1", "1", "1", "600.00%"}));
}

TEST(Distribution, OutOfRangeValuesCountAsDrawsButNotInTheTable) {
  RecordingDisplay display;
  // Two draws: the second's 0, 99 and -3 are shown nowhere, its 1s count.
  tabulate(TabulationMode::Distribution, "1,2,3,4,5,6\r\n0,99,-3,1,1,1\r\n", display);
  EXPECT_EQ(display.row(0), (Cells{"No.  1", "1", "0", "0", "1", "1", "1", "200.00%"}));
  EXPECT_EQ(display.row(1), (Cells{"No.  2", "0", "1", "0", "0", "0", "0", "50.00%"}));
}

TEST(Distribution, TwiceInARowGivesTheSameTable) {
  TempFolder folder;
  writeBytes(folder.file("LOTO.DAT"), "1,2,3,4,5,6\r\n4,17,21,29,31,11\r\n");
  RecordingDisplay first, second;
  showTabulation(TabulationMode::Distribution, first, folder.file("LOTO.DAT").c_str());
  showTabulation(TabulationMode::Distribution, second, folder.file("LOTO.DAT").c_str());
  ASSERT_EQ(first.rows().size(), 31u);
  for (int row = 0; row < 31; ++row) EXPECT_EQ(first.row(row), second.row(row));
  EXPECT_EQ(first.row(3)[7], "100.00%");
}

// The listings take their draws: no file is read and no caption is set, so
// the command line and the window show the same rows from one read.
TEST(Tabulation, ListingsOverDrawsTouchNoFileAndNoCaption) {
  const std::vector<DrawRecord> draws{{1, 2, 3, 4, 5, 6}, {6, 7, 8, 9, 10, 1}};
  RecordingDisplay history, distribution;
  showHistory(draws, history);
  showDistribution(draws, distribution);
  EXPECT_TRUE(history.captions().empty());
  EXPECT_TRUE(distribution.captions().empty());
  EXPECT_EQ(history.row(1), (Cells{"No.  2", "6", "7", "8", "9", "10", "1", ""}));
  EXPECT_EQ(distribution.row(0), (Cells{"No.  1", "1", "0", "0", "0", "0", "1", "100.00%"}));
  EXPECT_EQ(distribution.row(5), (Cells{"No.  6", "1", "0", "0", "0", "0", "1", "100.00%"}));
}

}  // namespace
}  // namespace kestaro
