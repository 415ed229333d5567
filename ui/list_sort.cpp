#include "list_sort.h"

#include <algorithm>
#include <charconv>

namespace kestaro {

namespace {

// The list reads a cell into a 30-byte buffer.
constexpr std::size_t kCellRead = 29;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
  while (pos < text.size() && isDigit(text[pos])) ++pos;
  return pos;
}

}  // namespace

std::int32_t SortDirections::toggle(int column) {
  std::int32_t& d = direction[column];
  d = d == kAscending ? kDescending : kAscending;
  return d;
}

double cellValue(std::string_view text) {
  text = text.substr(0, std::min(kCellRead, text.find('\0')));
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  // The longest prefix of digits, a point, digits and an exponent.
  const std::size_t start = pos;
  std::size_t end = skipDigits(text, pos);
  bool digits = end > start;
  if (end < text.size() && text[end] == '.') {
    std::size_t fraction = skipDigits(text, end + 1);
    digits = digits || fraction > end + 1;
    end = fraction;
  }
  if (!digits) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    std::size_t exponentEnd = skipDigits(text, exponent);
    if (exponentEnd > exponent) end = exponentEnd;
  }
  double value = 0;
  std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general);
  return negative ? -value : value;
}

int compareRows(double first, double second, std::int32_t direction) {
  int ascending = first > second ? 1 : (first < second ? -1 : 0);
  return direction == kAscending ? ascending : -ascending;
}

int labelsToRewrite(std::int32_t pickCount, int rowCount) {
  return std::max(0, std::min<std::int32_t>(pickCount, rowCount));
}

}  // namespace kestaro
