#ifndef KESTARO_REPORT_DISTRIBUTION_EXPECTATION_H
#define KESTARO_REPORT_DISTRIBUTION_EXPECTATION_H

#include <array>
#include <optional>
#include <vector>

#include "draw_format.h"

// What a fair draw would put in each cell of the distribution, summed over
// the draws, so that a picture can show how far each observed count lies.
namespace kestaro {

struct CellExpectation {
  double expected = 0;  // a count
  double variance = 0;
};

inline constexpr int kAverageColumn = 7;  // AVG: the count over all six positions

// cells[number][column]: columns 1 to 5 the main positions, 6 the bonus, 7
// AVG's count. A draw stored in strictly ascending order, as published, puts
// number n at position p with C(n−1, p−1)·C(31−n, 5−p)/C(31, 5); any other
// draw with 1/31 at each position.
struct DistributionExpectation {
  std::array<std::array<CellExpectation, kAverageColumn + 1>, kHighestNumber + 1> cells{};
};
DistributionExpectation distributionExpectation(const std::vector<DrawRecord>& draws);

// (observed − expected) / √variance, or nothing where the variance is 0.
std::optional<double> standardized(double observed, const CellExpectation& cell);

}  // namespace kestaro

#endif
