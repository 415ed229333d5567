#ifndef KESTARO_CLI_DECIMAL_TEXT_H
#define KESTARO_CLI_DECIMAL_TEXT_H

#include <cstddef>
#include <string_view>

namespace kestaro {

// Digits with at most one decimal point and at least one digit: the form of
// a typed threshold.
inline bool isPlainDecimal(std::string_view text) {
  std::size_t digits = 0, points = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return false;
    }
  }
  return digits != 0 && points <= 1;
}

}  // namespace kestaro

#endif
