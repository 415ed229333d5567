#ifndef KESTARO_ANALYSIS_TEXT_FORMAT_H
#define KESTARO_ANALYSIS_TEXT_FORMAT_H

#include <cstdint>
#include <string>

namespace kestaro {

// The texts the program shows, UTF-8 as every text of the core; the window
// converts them for its narrow ("A") calls.
inline constexpr const char kBaseCaption[] = "Kestaro Ver 1.0";
inline constexpr const char kHistorySuffix[] = " [当選番号履歴]";
inline constexpr const char kDistributionSuffix[] = " [当選番号分布]";
inline constexpr const char kOutOfReachSuffix[] = " [この出現率に届く組合せはありません]";

// "%d"
std::string formatNumber(int value);
// "No.%3d": tabulation labels.
std::string formatTabulationLabel(int number);
// "No.%2d": candidate labels.
std::string formatCandidateLabel(int number);
// The value in hundredths, rounded half up on its decimal expansion to 17
// significant digits (3.125 gives 313), whatever the C library does with ties.
std::int64_t hundredthsOf(double value);
// "%3.2f" of hundredths: 313 gives "3.13".
std::string formatHundredths(std::int64_t hundredths);
// The two, followed by "%": 3.125 gives "3.13%".
std::string formatPercent(double value);

// "%.*f": a figure with `decimals` digits after the point.
std::string formatFixed(double value, int decimals);

// "%.17g": every digit a double holds, for scripts and for "best".
std::string formatExact(double value);

}  // namespace kestaro

#endif
