#include "text_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kestaro {

std::string formatNumber(int value) {
  return std::to_string(value);
}

std::string formatTabulationLabel(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "No.%3d", number);
  return text;
}

std::string formatCandidateLabel(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "No.%2d", number);
  return text;
}

namespace {

// The value's 17 significant digits as an integer digit string and the
// power of ten of its first digit: 1.0749999999999999e+00 gives
// "10749999999999999" and 0. std::to_chars is exact and independent of the
// C runtime, which differs between glibc and the Windows runtimes.
struct Decimal17 {
  std::string digits;
  int exponent = 0;
};

Decimal17 toDecimal17(double value) {
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 16);
  *result.ptr = '\0';
  Decimal17 decimal;
  for (const char* p = text; *p != 'e'; ++p) {
    if (*p != '.') decimal.digits += *p;
  }
  decimal.exponent = std::atoi(std::strchr(text, 'e') + 1);
  return decimal;
}

}  // namespace

// REQUIRES: |value| < 1e15; the program's percentages stay below 1000.
std::int64_t hundredthsOf(double value) {
  if (!std::isfinite(value)) value = 0;  // never produced; keeps the parse below safe
  const bool negative = value < 0;
  // Hundredths, rounded half up on the first digit dropped.
  Decimal17 decimal = toDecimal17(negative ? -value : value);
  int kept = decimal.exponent + 3;  // digits before the hundredths' place ends
  std::int64_t hundredths = 0;
  if (kept > 0) {
    for (int i = 0; i < kept; ++i) {
      int digit = i < 17 ? decimal.digits[i] - '0' : 0;
      hundredths = hundredths * 10 + digit;
    }
    if (kept < 17 && decimal.digits[kept] >= '5') ++hundredths;
  } else if (kept == 0 && decimal.digits[0] >= '5') {
    hundredths = 1;
  }
  return negative ? -hundredths : hundredths;
}

std::string formatHundredths(std::int64_t hundredths) {
  const unsigned long long size =
      static_cast<unsigned long long>(hundredths < 0 ? -hundredths : hundredths);
  char text[48];
  std::snprintf(text, sizeof text, "%s%llu.%02llu", hundredths < 0 ? "-" : "", size / 100,
                size % 100);
  return text;
}

std::string formatPercent(double value) {
  return formatHundredths(hundredthsOf(value)) + "%";
}

std::string formatFixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string formatExact(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

}  // namespace kestaro
