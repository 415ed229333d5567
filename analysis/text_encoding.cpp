#include "text_encoding.h"

#include <string_view>

namespace kestaro {

namespace {

struct Mark {
  std::string_view bytes;
  TextEncoding encoding;
};
// Notepad writes the UTF-8 mark; spreadsheet programs the UTF-16 ones.
constexpr Mark kMarks[] = {{"\xEF\xBB\xBF", TextEncoding::Utf8},
                           {"\xFF\xFE", TextEncoding::Utf16LittleEndian},
                           {"\xFE\xFF", TextEncoding::Utf16BigEndian}};

const Mark* markOf(std::string_view bytes) {
  for (const Mark& mark : kMarks) {
    if (bytes.substr(0, mark.bytes.size()) == mark.bytes) return &mark;
  }
  return nullptr;
}

}  // namespace

const char* encodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Utf16LittleEndian:
      return "UTF-16LE";
    case TextEncoding::Utf16BigEndian:
      return "UTF-16BE";
    case TextEncoding::ShiftJis:
      return "Shift-JIS (CP932)";
  }
  return "";
}

std::optional<TextEncoding> markedEncoding(std::string_view bytes) {
  const Mark* mark = markOf(bytes);
  return mark ? std::optional<TextEncoding>(mark->encoding) : std::nullopt;
}

std::string_view afterMark(std::string_view bytes) {
  const Mark* mark = markOf(bytes);
  return mark ? bytes.substr(mark->bytes.size()) : bytes;
}

}  // namespace kestaro
