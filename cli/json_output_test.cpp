#include "json_output.h"

#include <gtest/gtest.h>

#include <string>

namespace kestaro {
namespace {

TEST(JsonText, CompactAndAsciiOnly) {
  Json value;
  value["b"] = 1;
  value["a"] = "注意";  // U+6CE8 U+610F
  value["list"] = Json::array({1, 2});
  EXPECT_EQ(jsonText(value), "{\"b\":1,\"a\":\"\\u6ce8\\u610f\",\"list\":[1,2]}");
  // Beyond the BMP: a surrogate pair (U+1F600).
  EXPECT_EQ(jsonText(Json("\xF0\x9F\x98\x80")), "\"\\ud83d\\ude00\"");
}

TEST(JsonText, InvalidUtf8IsReplaced) {
  EXPECT_EQ(jsonText(Json("a\xFF"
                          "b")),
            "\"a\\ufffdb\"");
  EXPECT_EQ(jsonText(Json("\xE6\xB3")), "\"\\ufffd\"");  // cut short
}

TEST(JsonArray, PiecesMakeOneArray) {
  EXPECT_EQ(
      jsonElementText(Json(1), true) + jsonElementText(Json("x"), false) + jsonArrayEndText(false),
      "[1,\"x\"]\n");
  EXPECT_EQ(jsonArrayEndText(true), "[]\n");
}

TEST(ShownNumber, AsTheTableShowsIt) {
  EXPECT_TRUE(shownNumber("7").is_number_integer());
  EXPECT_EQ(jsonText(shownNumber("7")), "7");
  EXPECT_EQ(jsonText(shownNumber("4417686")), "4417686");
  EXPECT_TRUE(shownNumber("15.33").is_number_float());
  EXPECT_EQ(jsonText(shownNumber("15.33")), "15.33");
  EXPECT_EQ(shownNumber("15.33").get<double>(), 15.33);
  EXPECT_EQ(jsonText(shownNumber("9.90")), "9.9");
  EXPECT_EQ(jsonText(shownNumber("100.00")), "100.0");
  EXPECT_EQ(jsonText(shownNumber("0.00")), "0.0");
  // A hand-edited draw's negative number, as the history shows it.
  EXPECT_EQ(jsonText(shownNumber("-1")), "-1");
  // Anything else stays text.
  for (const char* text : {"", "15.33%", "No.  1", "1.2.3", ".", "-", "--1", "1-", "1e3"}) {
    EXPECT_TRUE(shownNumber(text).is_string()) << text;
    EXPECT_EQ(shownNumber(text).get<std::string>(), text);
  }
}

}  // namespace
}  // namespace kestaro
