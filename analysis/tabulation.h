#ifndef KESTARO_ANALYSIS_TABULATION_H
#define KESTARO_ANALYSIS_TABULATION_H

#include <array>
#include <cstdint>
#include <vector>

#include "display.h"
#include "draw_file.h"

namespace kestaro {

enum class TabulationMode { History = 0, Distribution = 1 };

// One row per draw, in order, numbered from 1, with its six numbers.
void showHistory(const std::vector<DrawRecord>& draws, Display& display);

// A number's row of the distribution: its count at each position, A to Z,
// and how often it came up per hundred draws (0 without any draw).
struct DistributionRow {
  std::array<std::int32_t, kPositions> counts{};
  double perHundredDraws = 0;
};
// The rows of the numbers 1 to 31, in order.
std::vector<DistributionRow> distributionOf(const std::vector<DrawRecord>& draws);

// One row per number 1 to 31: its count at each position and, in AVG, how
// often it came up per hundred draws.
void showDistribution(const std::vector<DrawRecord>& draws, Display& display);

// Reads the draw file and writes the history listing or the distribution
// table into an empty list, with its caption. Returns false, having done
// nothing, when the file cannot be read.
bool showTabulation(TabulationMode mode, Display& display, const char* path = kDrawFileName);

}  // namespace kestaro

#endif
