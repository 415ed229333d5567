#include "results_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace kestaro {
namespace {

using Draws = std::vector<DrawRecord>;
using testing::repeat;

const DrawRecord kA{1, 3, 17, 20, 25, 26};
const DrawRecord kB{2, 11, 12, 21, 30, 28};
const DrawRecord kC{1, 8, 10, 24, 30, 2};

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
      Columns{3, 4, 5, 6, 7, 8});
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
                        Columns{2, 3, 4, 5, 6, 7})
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
      Columns{3, 4, 5, 6, 7, 8});
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
  const ImportedDraws imported = parseImport("26,25,20,17,3,1\n", Columns{6, 5, 4, 3, 2, 1});
  EXPECT_EQ(imported.badLine, 0u);
  EXPECT_EQ(imported.draws, (Draws{kA}));
  // A column past the line's last field.
  const ImportedDraws shortLine =
      parseImport("1,3,17,20,25,26\n1,3,17,20,25,26\n", Columns{1, 2, 3, 4, 5, 7});
  EXPECT_EQ(shortLine.badLine, 1u);  // numbers and a missing field: no header
  EXPECT_EQ(shortLine.problem, DrawProblem::MissingField);
}

TEST(ParseImport, ReadsNothingFromNothing) {
  EXPECT_TRUE(parseImport("").draws.empty());
  EXPECT_EQ(parseImport("").badLine, 0u);
  EXPECT_TRUE(parseImport("\n\r\n").draws.empty());
}

// A spreadsheet export: seventeen names over rows of sixteen fields.
TEST(ParseImport, AHeaderThatNamesTheColumnsDecidesThem) {
  const ImportedDraws imported = parseImport(
      "開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,BONUS数字,1等口数,2等口数,3等口数,"
      "4等口数,1等賞金,2等賞金,3等賞金,4等賞金,EOF\r\n"
      "1,2001/4/3,1,3,17,20,25,26,12,40,2000,51000,5000000,200000,9000,1000\r\n"
      "2,2001/4/10,2,11,12,21,30,28,0,3,1900,50000,0,300000,9000,1000\r\n");
  EXPECT_EQ(imported.badLine, 0u);
  EXPECT_EQ(imported.source, ColumnSource::Header);
  EXPECT_EQ(imported.columns, (Columns{3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(imported.draws, (Draws{kA, kB}));
  EXPECT_EQ(imported.numbers, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(imported.lines, (std::vector<std::size_t>{2, 3}));
  // Other spellings, in another order; full-width ordinals; the bonus in any case.
  const ImportedDraws other =
      parseImport("ボーナス数字,本数字5,本数字4,抽せん数字３,数字2,第１数字\n26,25,20,17,3,1\n");
  EXPECT_EQ(other.columns, (Columns{6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(other.draws, (Draws{kA}));
  EXPECT_FALSE(other.numbered());
  EXPECT_EQ(parseImport("n1数字,n2数字,n3数字,n4数字,n5数字,Bonus\n1,3,17,20,25,26\n").draws,
            (Draws{kA}));
  // kestaro-cli's own CSV: No numbers the draws, A to E and Z name the columns.
  const ImportedDraws own = parseImport("No,A,B,C,D,E,Z,AVG\n7,1,3,17,20,25,26,\n");
  EXPECT_EQ(own.columns, (Columns{2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(own.numbers, (std::vector<std::int32_t>{7}));
  // --columns still decides.
  EXPECT_EQ(parseImport("A,B,C,D,E,Z\n9,1,3,17,20,25,26\n", Columns{2, 3, 4, 5, 6, 7}).draws,
            (Draws{kA}));
}

// Lines copied from a results page: 第N回, a date, six numbers, a prize.
TEST(ParseImport, LinesFromAResultsPageCarryTheirNumbers) {
  const ImportedDraws imported = parseImport(
      "第1回,2001年4月3日,01,03,17,20,25,(26),\"104,000,000円\"\n"
      "第3回,2001/4/17,1,8,10,24,30,(2)\n"
      "第2回,2,11,12,21,30,28\n");
  EXPECT_EQ(imported.badLine, 0u);
  EXPECT_EQ(imported.source, ColumnSource::ResultsPage);
  EXPECT_EQ(imported.draws, (Draws{kA, kC, kB}));
  EXPECT_EQ(imported.numbers, (std::vector<std::int32_t>{1, 3, 2}));
  EXPECT_EQ(imported.columns, (Columns{3, 4, 5, 6, 7, 8}));  // as the first line has them
  // One line of another form is the line refused.
  const ImportedDraws mixed =
      parseImport("第1回,2001/4/3,1,3,17,20,25,26\n4,2001/4/24,1,3,17,20,25,26\n");
  EXPECT_EQ(mixed.source, ColumnSource::ResultsPage);
  EXPECT_EQ(mixed.badLine, 2u);
}

// A header's number column numbers the draws however the columns are chosen.
TEST(ParseImport, EveryNameOfTheNumberColumnNumbersTheDraws) {
  for (const char* name : {"開催回", "回別", "抽せん回", " 回号 ", "No"}) {
    const ImportedDraws named =
        parseImport(std::string(name) + ",A,B,C,D,E,Z\n5,1,3,17,20,25,26\n");
    EXPECT_EQ(named.numbers, (std::vector<std::int32_t>{5})) << name;
    const ImportedDraws given = parseImport(std::string(name) + ",x,y,z,u,v,w\n6,1,3,17,20,25,26\n",
                                            Columns{2, 3, 4, 5, 6, 7});
    EXPECT_EQ(given.numbers, (std::vector<std::int32_t>{6})) << name;
  }
  // A draw whose number is not there is refused, as a missing field.
  const ImportedDraws missing =
      parseImport("No,A,B,C,D,E,Z\n5,1,3,17,20,25,26\n,2,11,12,21,30,28\n");
  EXPECT_EQ(missing.badLine, 3u);
  EXPECT_EQ(missing.problem, DrawProblem::NotAnInteger);
  EXPECT_FALSE(parseImport("Draw,A,B,C,D,E,Z\n5,1,3,17,20,25,26\n").numbered());
}

// A number column may write its numbers as a results page does, 第N回.
TEST(ParseImport, ANumberColumnHoldsNOrTheDrawsName) {
  const std::string text = "開催回,A,B,C,D,E,Z\n第1397回,1,3,17,20,25,26\n1398,2,11,12,21,30,28\n";
  for (const std::optional<Columns>& columns :
       {std::optional<Columns>{}, std::optional<Columns>{{2, 3, 4, 5, 6, 7}}}) {
    const ImportedDraws imported = parseImport(text, columns);
    EXPECT_EQ(imported.badLine, 0u);
    EXPECT_EQ(imported.draws, (Draws{kA, kB}));
    EXPECT_EQ(imported.numbers, (std::vector<std::int32_t>{1397, 1398}));
  }
  EXPECT_EQ(parseImport("No,A,B,C,D,E,Z\n第x回,1,3,17,20,25,26\n").badLine, 2u);
}

TEST(ParseImport, FailingDefaultColumnsSuggestTheFirstSixNumbers) {
  const ImportedDraws imported =
      parseImport("1,2001/4/3,1,3,17,20,25,26,12,40,2000\n2,2001/4/10,2,11,12,21,30,28,0,3,1\n");
  EXPECT_EQ(imported.badLine, 1u);
  EXPECT_EQ(imported.suggested, (Columns{3, 4, 5, 6, 7, 8}));
  // Nothing to suggest where no six such fields follow each other.
  EXPECT_EQ(parseImport("1,2,3,4,5,x\n").suggested, std::nullopt);
  // Nor once the default columns have read a draw.
  EXPECT_EQ(parseImport("1,3,17,20,25,26\n1,x,1,3,17,20,25,26\n").suggested, std::nullopt);
  // Only six that make a draw: never the columns that just failed.
  EXPECT_EQ(parseImport("1,1,2,3,4,5\n").suggested, std::nullopt);
  EXPECT_EQ(parseImport("2001,4,3,1,3,17,20,25,26\n").suggested, (Columns{4, 5, 6, 7, 8, 9}));
}

// A record is read no further than 4,096 bytes, its line end aside; a longer
// one is refused on the line it starts on, and ends the reading.
TEST(ParseImport, ARecordLongerThan4096BytesIsRefused) {
  const std::string draw = "1,3,17,20,25,26";
  const std::string full = draw + std::string(4096 - draw.size(), ' ');  // spaces around 26
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    const ImportedDraws longest = parseImport(full + end + "2,11,12,21,30,28" + end + "1,2" + end);
    EXPECT_EQ(longest.draws, (Draws{kA, kB})) << ::testing::PrintToString(end);
    EXPECT_EQ(longest.badLine, 3u) << ::testing::PrintToString(end);
  }
  const std::string bytes4097 = repeat("1,", 2048) + "1";
  const std::string quoted = "2,\"" + std::string(2000, 'x') + "\n" + std::string(2100, 'x') + "\"";
  const std::pair<std::string, std::size_t> refused[] = {
      {draw + "\n" + full + " \n2,11,12,21,30,28\n", 2},  // then nothing more is read
      {draw + "\n" + bytes4097, 2},                       // at the end of the text
      {bytes4097 + "\n" + draw + "\n", 1},                // never a header
      {std::string(5000, ' ') + "\n" + draw + "\n", 1},   // never a blank line
      {draw + "\n\n" + quoted + ",11,12,21,30,28\n", 3},  // line breaks in quotes count
  };
  for (const auto& [text, line] : refused) {
    const ImportedDraws imported = parseImport(text);
    EXPECT_EQ(imported.badLine, line) << text.substr(0, 40);
    EXPECT_EQ(imported.problem, DrawProblem::LineTooLong) << text.substr(0, 40);
    EXPECT_EQ(imported.badText.size(), 4097u) << text.substr(0, 40);
    EXPECT_EQ(imported.draws, line == 1 ? Draws{} : Draws{kA}) << text.substr(0, 40);
  }
}

// Lines copied from a results page as text: words separated by runs of
// spaces, half- or full-width, where the line holds no comma and no tab.
TEST(ParseImport, ALineWithoutCommaOrTabIsSplitOnSpaces) {
  const ImportedDraws page = parseImport(
      "第1396回 2026/07/21 04 08 09 16 30 (21)\n"
      "第1397回\u30002026-07-28\u3000\u300001  03 17 20 25\u3000(26)\n");
  EXPECT_EQ(page.badLine, 0u);
  EXPECT_EQ(page.source, ColumnSource::ResultsPage);
  EXPECT_EQ(page.draws, (Draws{{4, 8, 9, 16, 30, 21}, kA}));
  EXPECT_EQ(page.numbers, (std::vector<std::int32_t>{1396, 1397}));
  EXPECT_EQ(parseImport("  1 3 17 20 25 26 \nA B C D E Z\n").draws, (Draws{kA}));
  // A header so written names the columns; a comma or tab keeps the spaces.
  EXPECT_EQ(parseImport("No A B C D E Z\n9 1 3 17 20 25 26\n").numbers,
            (std::vector<std::int32_t>{9}));
  EXPECT_EQ(parseImport("1 3 17 20 25 26,2\n").badLine, 1u);
  EXPECT_EQ(parseImport("1\t3 17 20 25 26\n").badLine, 1u);
}

// Lines after the last draw that hold no number, a page's footer, are
// passed over; one before a draw is still refused.
TEST(ParseImport, LinesWithoutANumberAfterTheLastDrawArePassedOver) {
  const ImportedDraws page = parseImport(
      "第1396回 2026/07/21 04 08 09 16 30 (21)\n\n"
      "※当せん番号等は抽せん日の翌日の新聞でもご確認ください。\n"
      "出典: みずほ銀行\n");
  EXPECT_EQ(page.badLine, 0u);
  EXPECT_EQ(page.source, ColumnSource::ResultsPage);
  EXPECT_EQ(page.draws, (Draws{{4, 8, 9, 16, 30, 21}}));
  EXPECT_EQ(page.footerFirst, 3u);
  EXPECT_EQ(page.footerLast, 4u);
  const ImportedDraws sheet = parseImport("A,B,C,D,E,Z\n1,3,17,20,25,26\n合計,,,,,\n");
  EXPECT_EQ(sheet.badLine, 0u);
  EXPECT_EQ(sheet.draws, (Draws{kA}));
  EXPECT_EQ(sheet.footerFirst, 3u);
  EXPECT_EQ(sheet.footerLast, 3u);
  const ImportedDraws between = parseImport("1,3,17,20,25,26\n※ note\n\n2,11,12,21,30,28\n");
  EXPECT_EQ(between.badLine, 2u);
  EXPECT_EQ(between.problem, DrawProblem::NotAnInteger);
  EXPECT_EQ(between.badText, "※ note");
  EXPECT_EQ(between.draws, (Draws{kA}));
  EXPECT_EQ(between.footerFirst, 0u);
  // A line that starts as a draw does is a damaged draw, wherever it stands.
  EXPECT_EQ(parseImport("1,3,17,20,25,26\n第1397回 は休止\n").badLine, 2u);
  EXPECT_EQ(parseImport("1,3,17,20,25,26\n2,11,12\n").badLine, 2u);
  // Footers that hold numbers; a page copied with its heading; a note
  // between two draws named where it stands.
  const std::string pageLines =
      "第1回 2000/01/01 01 03 17 20 25 (06)\n第2回 2000/01/08 02 11 12 21 30 (28)\n";
  for (const char* footer : {"Copyright \xC2\xA9 2026 Mizuho Bank", "※ 全 2 件を表示",
                             "\xE2\x80\xB9 前へ 1 2 3 次へ >"}) {
    const ImportedDraws withFooter = parseImport(pageLines + footer + "\n");
    EXPECT_EQ(withFooter.badLine, 0u) << footer;
    EXPECT_EQ(withFooter.source, ColumnSource::ResultsPage) << footer;
    EXPECT_EQ(withFooter.draws.size(), 2u) << footer;
    EXPECT_EQ(withFooter.footerFirst, 3u) << footer;
  }
  const ImportedDraws headed = parseImport("回別 抽せん日 本数字 ボーナス数字\n" + pageLines);
  EXPECT_EQ(headed.badLine, 0u);
  EXPECT_EQ(headed.source, ColumnSource::ResultsPage);
  EXPECT_EQ(headed.numbers, (std::vector<std::int32_t>{1, 2}));
  const std::string noted =
      "第1回 2000/01/01 01 03 17 20 25 (06)\n※注意\n"
      "第2回 2000/01/08 02 11 12 21 30 (28)\n";
  EXPECT_EQ(parseImport(noted).badLine, 2u);
}

TEST(NumberOf, ReadsWholeNumbersAsResultsFilesWriteThem) {
  EXPECT_EQ(numberOf("07"), 7);
  EXPECT_EQ(numberOf(" \xEF\xBC\x91\xEF\xBC\x92 "), 12);                       // １２
  EXPECT_EQ(numberOf("\xEF\xBC\x88\xEF\xBC\x90\xEF\xBC\x99\xEF\xBC\x89"), 9);  // （０９）
  EXPECT_EQ(numberOf("+5"), 5);
  EXPECT_EQ(numberOf("2147483647"), 2147483647);
  for (const char* bad : {"", " ", "2147483648", "1.0", "-1", "()", "(1", "1 2", "x1"}) {
    EXPECT_EQ(numberOf(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace kestaro
