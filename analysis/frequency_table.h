#ifndef KESTARO_ANALYSIS_FREQUENCY_TABLE_H
#define KESTARO_ANALYSIS_FREQUENCY_TABLE_H

#include <array>
#include <cstdint>
#include <vector>

#include "draw_format.h"

namespace kestaro {

// How often each number (row 0..31) stood at each position (column 1..6).
// Column 0 is never used; row 0 only counts a hand-edited 0.
struct FrequencyTable {
  std::array<std::array<std::int32_t, kPositions + 1>, kHighestNumber + 1> counts{};

  void reset();
  // Values outside 0..31 are not counted; the draw still counts as a draw.
  void addDraw(const DrawRecord& draw);
};

// The table of these draws, each counted by position.
FrequencyTable frequencyTableOf(const std::vector<DrawRecord>& draws);

// The six fields of a draw by position 1..6.
std::array<std::int32_t, kPositions + 1> byPosition(const DrawRecord& draw);

}  // namespace kestaro

#endif
