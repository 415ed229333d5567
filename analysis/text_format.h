#ifndef KESTARO_ANALYSIS_TEXT_FORMAT_H
#define KESTARO_ANALYSIS_TEXT_FORMAT_H

#include <string>

namespace kestaro {

// The texts the program shows. Captions are code page 932 bytes, since the
// Windows layer hands them to the narrow ("A") functions.
inline constexpr const char kBaseCaption[] = "Kestaro Ver 1.0";
// " [当選番号履歴]"
inline constexpr const char kHistorySuffix[] =
    " [\x93\x96\x91\x49\x94\xd4\x8d\x86\x97\x9a\x97\xf0]";
// " [当選番号分布]"
inline constexpr const char kDistributionSuffix[] =
    " [\x93\x96\x91\x49\x94\xd4\x8d\x86\x95\xaa\x95\x7a]";
// " [この出現率に届く組合せはありません]"
inline constexpr const char kOutOfReachSuffix[] =
    " [\x82\xb1\x82\xcc\x8f\x6f\x8c\xbb\x97\xa6\x82\xc9\x93\xcd\x82\xad\x91\x67\x8d\x87\x82\xb9"
    "\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1]";

// "%d"
std::string formatNumber(int value);
// "No.%3d": tabulation labels.
std::string formatTabulationLabel(int number);
// "No.%2d": candidate labels.
std::string formatCandidateLabel(int number);
// "%3.2f" followed by "%", rounding half up on the value's decimal expansion
// to 17 significant digits (3.125 gives "3.13%"), whatever the C library does
// with ties.
std::string formatPercent(double value);

// "%.*f": a figure with `decimals` digits after the point.
std::string formatFixed(double value, int decimals);

// "%.17g": every digit a double holds, for scripts and for "best".
std::string formatExact(double value);

}  // namespace kestaro

#endif
