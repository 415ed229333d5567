#include "draw_format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "text_encoding.h"

namespace kestaro {

namespace {

// The reader takes at most this many characters of a line, the line-read
// buffer of the file's original reader less its terminator.
constexpr std::size_t kRecordLength = 29;
// The shortest record that holds a draw: "1,2,3,4,5,6".
constexpr std::size_t kShortestDraw = 11;

bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// One "%d" field at `pos`: white space, an optional sign, one or more digits.
// Fails on a missing digit and on a value outside the signed 32-bit range.
std::optional<std::int32_t> parseField(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && isSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  if (pos >= text.size() || !isDigit(text[pos])) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  bool tooLarge = false;
  for (; pos < text.size() && isDigit(text[pos]); ++pos) {
    magnitude = magnitude * 10 + (text[pos] - '0');
    if (magnitude > limit) {
      tooLarge = true;
      magnitude = limit;
    }
  }
  if (tooLarge) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// "%d,%d,%d,%d,%d,%d" over one record; whatever follows the sixth number is
// ignored. A record that does not hold six numbers gives nothing.
std::optional<DrawRecord> parseRecord(std::string_view record) {
  record = record.substr(0, record.find('\0'));  // the string ends at a NUL
  std::int32_t values[6];
  std::size_t pos = 0;
  for (int field = 0; field < 6; ++field) {
    if (field > 0) {
      if (pos >= record.size() || record[pos] != ',') return std::nullopt;
      ++pos;
    }
    std::optional<std::int32_t> value = parseField(record, pos);
    if (!value) return std::nullopt;
    values[field] = *value;
  }
  return DrawRecord{values[0], values[1], values[2], values[3], values[4], values[5]};
}

// At most one draw per line long enough to hold one: blank lines reserve
// nothing, so a file of them costs no memory beyond its bytes.
std::size_t mostDraws(std::string_view text) {
  std::size_t lines = 0;
  const char* start = text.data();
  const char* const end = text.data() + text.size();
  while (start < end) {
    const void* found = std::memchr(start, '\n', static_cast<std::size_t>(end - start));
    const char* lineEnd = found != nullptr ? static_cast<const char*>(found) : end;
    if (static_cast<std::size_t>(lineEnd - start) >= kShortestDraw) ++lines;
    start = lineEnd + 1;
  }
  return lines;
}

// The records of a draw file's text, one byte a character.
std::vector<DrawRecord> parseText(std::string_view text) {
  std::vector<DrawRecord> draws;
  draws.reserve(mostDraws(text));
  std::size_t start = 0;
  while (start < text.size()) {
    // A line ends at LF (CR LF counts as one line end) or at 0x1A, an old
    // end-of-file mark that must not hide the draws appended after it.
    std::size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != '\x1a') ++end;
    std::size_t contentEnd = end;
    if (end < text.size() && text[end] == '\n' && end > start && text[end - 1] == '\r') {
      --contentEnd;
    }
    // A long line gives one record, its first characters; its later pieces
    // are not draws even when they look like one.
    std::size_t length = std::min(contentEnd - start, kRecordLength);
    if (std::optional<DrawRecord> draw = parseRecord(text.substr(start, length))) {
      draws.push_back(*draw);
    }
    start = end + 1;
  }
  return draws;
}

// UTF-16 text as one byte a character: ASCII stays, anything else becomes a
// byte that no number or line end uses, so records keep their length in
// characters.
std::string narrowUtf16(std::string_view bytes, bool bigEndian) {
  std::string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto high = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
    const auto low = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
    const unsigned unit = high << 8 | low;
    if (unit >= 0xDC00 && unit <= 0xDFFF) continue;  // the second half of a pair
    text += unit < 0x80 ? static_cast<char>(unit) : '\x7f';
  }
  return text;
}

}  // namespace

std::vector<DrawRecord> parseDraws(std::string_view bytes) {
  const std::optional<TextEncoding> mark = markedEncoding(bytes);
  const std::string_view text = afterMark(bytes);
  if (mark == TextEncoding::Utf16LittleEndian) return parseText(narrowUtf16(text, false));
  if (mark == TextEncoding::Utf16BigEndian) return parseText(narrowUtf16(text, true));
  return parseText(text);
}

std::string formatDrawLine(const DrawRecord& d) {
  char text[80];
  int length = std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d\r\n", static_cast<int>(d.A),
                             static_cast<int>(d.B), static_cast<int>(d.C), static_cast<int>(d.D),
                             static_cast<int>(d.E), static_cast<int>(d.Z));
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace kestaro
