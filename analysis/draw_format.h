#ifndef KESTARO_ANALYSIS_DRAW_FORMAT_H
#define KESTARO_ANALYSIS_DRAW_FORMAT_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestaro {

inline constexpr int kHighestNumber = 31;  // numbers run from 1 to 31
inline constexpr int kPositions = 6;       // 1 to 5 are A to E, 6 is Z

// One draw: the five main numbers in the order registered and the bonus number.
struct DrawRecord {
  std::int32_t A = 0, B = 0, C = 0, D = 0, E = 0, Z = 0;
  friend bool operator==(const DrawRecord& x, const DrawRecord& y) {
    return x.A == y.A && x.B == y.B && x.C == y.C && x.D == y.D && x.E == y.E && x.Z == y.Z;
  }
};

// The draws held by the bytes of a draw file, read by the Windows text-mode
// rules on every platform. A UTF-16 file reads as the same text.
std::vector<DrawRecord> parseDraws(std::string_view bytes);

// The line that stores a draw: "A,B,C,D,E,Z" and CR LF.
std::string formatDrawLine(const DrawRecord& draw);

}  // namespace kestaro

#endif
