#ifndef KESTARO_ANALYSIS_FREQUENCY_TABLE_H
#define KESTARO_ANALYSIS_FREQUENCY_TABLE_H

#include <array>
#include <cstdint>

#include "display.h"
#include "draw_file.h"

namespace kestaro {

// How often each number (row 0..31) stood at each position (column 1..6).
// Column 0 is never used; row 0 only counts a hand-edited 0.
struct FrequencyTable {
  std::array<std::array<std::int32_t, kPositions + 1>, kHighestNumber + 1> counts{};

  void reset();
  // Values outside 0..31 are not counted; the draw still counts as a draw.
  void addDraw(const DrawRecord& draw);
};

// The six fields of a draw by position 1..6.
std::array<std::int32_t, kPositions + 1> byPosition(const DrawRecord& draw);

enum class TabulationMode { History = 0, Distribution = 1 };

// Reads the draw file and writes the history listing or the distribution
// table into an empty list, with its caption. Returns false, having done
// nothing, when the file cannot be opened.
bool showTabulation(TabulationMode mode, Display& display, const char* path = kDrawFileName);

}  // namespace kestaro

#endif
