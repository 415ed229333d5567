#include "draw_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace kestaro {
namespace {

std::vector<DrawRecord> parse(const std::string& bytes) {
  return parseDraws(bytes);
}

// The bytes of a UTF-16 file as Notepad saves it, mark first; the code units
// come from the compiler, not from the code under test.
std::string utf16File(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(ParseDraws, LineEndsCrLfLfAndNoneReadAlike) {
  std::vector<DrawRecord> expected{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
  EXPECT_EQ(parse("1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n"), expected);
  EXPECT_EQ(parse("1,2,3,4,5,6\n7,8,9,10,11,12\n"), expected);
  EXPECT_EQ(parse("1,2,3,4,5,6\r\n7,8,9,10,11,12"), expected);
}

TEST(ParseDraws, FieldsFollowTheDecimalConversionRules) {
  std::vector<DrawRecord> expected{{1, 2, 3, 4, 5, 6}};
  EXPECT_EQ(parse("1, 2, 3, 4, 5, 6\r\n"), expected);
  EXPECT_EQ(parse("  \t1,2,3,4,5,6\r\n"), expected);
  EXPECT_EQ(parse("1,2,3,4,5,6,7\r\n"), expected);
  EXPECT_EQ(parse("+1,02,3,4,05,6 trailing text\r\n"), expected);
  EXPECT_EQ(parse("-5,0,31,99,-0,7\r\n"), (std::vector<DrawRecord>{{-5, 0, 31, 99, 0, 7}}));
}

TEST(ParseDraws, RecordsWithoutSixNumbersAreSkippedNotCarriedOver) {
  EXPECT_EQ(parse("1,2,3,4,5,6\r\n\r\n7,8 ,9,10,11,12\r\n1,2,3,4,5\r\nx,1,2,3,4,5\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
  EXPECT_TRUE(parse("\r\n\r\n").empty());
  EXPECT_TRUE(parse("1,2,3,4,5,+\r\n1,2,3,4,5,-\r\n1,,2,3,4,5,6\r\n").empty());
}

TEST(ParseDraws, NumbersBeyondThirtyTwoBitsSkipTheRecord) {
  EXPECT_EQ(parse("2147483647,1,2,3,4,5\r\n1,2,3,4,5,-2147483648\r\n"),
            (std::vector<DrawRecord>{{2147483647, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, -2147483648}}));
  EXPECT_TRUE(parse("2147483648,1,2,3,4,5\r\n").empty());
  EXPECT_TRUE(parse("1,2,3,4,5,-2147483649\r\n").empty());
  EXPECT_TRUE(parse("1,2,3,4,5,99999999999999999999\r\n").empty());
}

TEST(ParseDraws, LinesOf28And29CharactersAreReadWhole) {
  std::string line28 = "1,2,3,4,5,000000000000000007";   // 28 characters
  std::string line29 = "1,2,3,4,5,0000000000000000078";  // 29 characters
  ASSERT_EQ(line28.size(), 28u);
  ASSERT_EQ(line29.size(), 29u);
  EXPECT_EQ(parse(line28 + "\r\n" + line29 + "\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 7}, {1, 2, 3, 4, 5, 78}}));
}

TEST(ParseDraws, LongLineGivesOnlyItsFirst29Characters) {
  // The 30th character is cut off the last number.
  EXPECT_EQ(parse("1,2,3,4,5,00000000000000000789\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 78}}));
  // A later piece that looks like a draw is not one.
  std::string longLine = "1,2,3,4,5,6" + std::string(18, ' ') + "3,14,15,16,17,18";
  EXPECT_EQ(parse(longLine + "\r\n2,3,4,5,6,7\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}, {2, 3, 4, 5, 6, 7}}));
}

TEST(ParseDraws, ByteOrderMarkAndEndOfFileMarkHideNothing) {
  EXPECT_EQ(parse("\xEF\xBB\xBF"
                  "1,2,3,4,5,6\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
  EXPECT_EQ(parse("1,2,3,4,5,6\x1a"
                  "7,8,9,10,11,12\r\n\x1a"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}));
}

TEST(ParseDraws, LoneCarriageReturnDoesNotEndALine) {
  // Text mode keeps a CR that no LF follows; the second draw is part of the first line.
  EXPECT_EQ(parse("1,2,3,4,5,6\r7,8,9,10,11,12\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
  EXPECT_EQ(parse("1,2,3,4,5,6\r\r\n"), (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
}

TEST(ParseDraws, NulByteEndsTheRecord) {
  EXPECT_TRUE(parse(std::string("1,2,3\0,4,5,6\r\n", 14)).empty());
  EXPECT_EQ(parse(std::string("1,2,3,4,5,6\0\r\n", 14)),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
}

TEST(ParseDraws, Utf16FilesReadAsTheSameText) {
  const std::vector<DrawRecord> expected{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
  for (bool bigEndian : {false, true}) {
    EXPECT_EQ(parse(utf16File(u"1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n", bigEndian)), expected);
    // Japanese text is not a number, and 0x1A still ends a line.
    EXPECT_EQ(parse(utf16File(u"\u56de\u6570\r\n1,2,3,4,5,6 \u7b2c1\u56de\x1a"
                              u"7,8,9,10,11,12",
                              bigEndian)),
              expected);
    EXPECT_TRUE(parse(utf16File(u"\uff11,2,3,4,5,6\r\n", bigEndian)).empty());
  }
  // An odd last byte is no character.
  EXPECT_EQ(parse(utf16File(u"1,2,3,4,5,6\r\n", false) + "7"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
}

// A record holds 29 characters, whatever their width in bytes.
TEST(ParseDraws, Utf16RecordLengthCountsCharacters) {
  EXPECT_EQ(parse(utf16File(u"1,2,3,4,5,0000000000000000078\r\n", false)),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 78}}));
  EXPECT_EQ(parse(utf16File(u"1,2,3,4,5,00000000000000000789\r\n", true)),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 78}}));
}

TEST(FormatDrawLine, SixValuesAndCrLf) {
  EXPECT_EQ(formatDrawLine({3, 8, 15, 22, 29, 11}), "3,8,15,22,29,11\r\n");
  EXPECT_EQ(formatDrawLine({-5, 0, 2147483647, -2147483647 - 1, 1, 2}),
            "-5,0,2147483647,-2147483648,1,2\r\n");
}

}  // namespace
}  // namespace kestaro
