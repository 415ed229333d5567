#include "text_encoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace kestaro {
namespace {

TEST(ByteOrderMark, ToldAndTakenOffOnlyAtTheStart) {
  struct Case {
    std::string_view bytes;
    std::optional<TextEncoding> mark;
    std::string_view after;
  };
  const Case cases[] = {
      {"\xFF\xFE"
       "1",
       TextEncoding::Utf16LittleEndian, "1"},
      {"\xFE\xFF", TextEncoding::Utf16BigEndian, ""},
      {"\xEF\xBB\xBF"
       "1,2",
       TextEncoding::Utf8, "1,2"},
      {"\xEF\xBB"
       "1",
       std::nullopt,
       "\xEF\xBB"
       "1"},
      {"\xFF", std::nullopt, "\xFF"},
      {"1\xEF\xBB\xBF", std::nullopt, "1\xEF\xBB\xBF"},
      {"", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(markedEncoding(c.bytes), c.mark) << c.bytes;
    EXPECT_EQ(afterMark(c.bytes), c.after) << c.bytes;
  }
}

}  // namespace
}  // namespace kestaro
