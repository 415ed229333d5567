#include "text_decoding.h"

#include <gtest/gtest.h>

#include <string>

#include "cp932.h"
#include "expected_texts.h"

namespace kestaro {
namespace {

// The bytes of UTF-16 text with its mark; the code units come from the
// compiler, not from the code under test.
std::string utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

const char kHeader[] = "開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,BONUS数字";

TEST(DecodeText, TheMarkOrTheBytesTellTheEncoding) {
  const DecodedText marked = decodeText(std::string("\xEF\xBB\xBF") + kHeader, cp932ToUtf8);
  EXPECT_EQ(marked.encoding, TextEncoding::Utf8);
  EXPECT_EQ(marked.utf8, kHeader);
  for (bool bigEndian : {false, true}) {
    const DecodedText decoded =
        decodeText(utf16(u"開催回,第1数字,\U00020BB7\r\n", bigEndian), cp932ToUtf8);
    EXPECT_EQ(decoded.encoding,
              bigEndian ? TextEncoding::Utf16BigEndian : TextEncoding::Utf16LittleEndian);
    EXPECT_EQ(decoded.utf8, "開催回,第1数字,\U00020BB7\r\n");
  }
  const DecodedText plain = decodeText("1,2,3,4,5,6\r\n", cp932ToUtf8);
  EXPECT_EQ(plain.encoding, TextEncoding::Utf8);
  EXPECT_EQ(plain.utf8, "1,2,3,4,5,6\r\n");
  EXPECT_EQ(decodeText(kHeader, cp932ToUtf8).encoding, TextEncoding::Utf8);
}

// The bytes are iconv's CP932; the platform's converter must really decode
// them, in every build that runs the tests.
TEST(DecodeText, AnythingElseIsCodePage932) {
  const DecodedText decoded = decodeText(kSjisSpreadsheetHeader, cp932ToUtf8);
  EXPECT_EQ(decoded.encoding, TextEncoding::ShiftJis);
  EXPECT_EQ(decoded.utf8, kHeader);
  // Where CP932 and SHIFT_JIS part: the full-width tilde, not the wave dash.
  EXPECT_EQ(cp932ToUtf8(kSjisWaveDashAndCircledOne), "\uFF5E\u2460");
}

TEST(DecodeText, WhatNoEncodingHoldsIsNotText) {
  EXPECT_FALSE(decodeText("\xEF\xBB\xBF\xFF", cp932ToUtf8).utf8);
  EXPECT_FALSE(decodeText(utf16(u"\xD800"
                                u"1",
                                false),
                          cp932ToUtf8)
                   .utf8);  // a lone surrogate
  EXPECT_FALSE(decodeText("\xFF\xFE"
                          "1",
                          cp932ToUtf8)
                   .utf8);            // an odd last byte
  EXPECT_FALSE(cp932ToUtf8("\x82"));  // a cut character
}

TEST(IsValidUtf8, RefusesOverlongFormsSurrogatesAndCutSequences) {
  EXPECT_TRUE(isValidUtf8("ASCII \xE5\xBD\x93 \xF0\xA0\xAE\xB7"));
  for (const char* bad : {"\xC0\x80", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                          "\xE5\xBD", "\x80", "\xF5\x80\x80\x80"}) {
    EXPECT_FALSE(isValidUtf8(bad)) << bad;
  }
}

}  // namespace
}  // namespace kestaro
