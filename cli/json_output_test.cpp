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

}  // namespace
}  // namespace kestaro
