#include "distribution_expectation.h"

#include <cmath>

namespace kestaro {

namespace {

double binomial(int n, int k) {
  if (k < 0 || k > n) return 0;
  double result = 1;
  for (int i = 1; i <= k; ++i) result = result * (n - k + i) / i;
  return result;
}

// q[n][p] for a draw in ascending order: n is the p-th smallest of five.
std::array<std::array<double, 6>, kHighestNumber + 1> orderedChances() {
  std::array<std::array<double, 6>, kHighestNumber + 1> q{};
  const double all = binomial(kHighestNumber, 5);
  for (int n = 1; n <= kHighestNumber; ++n)
    for (int p = 1; p <= 5; ++p)
      q[static_cast<std::size_t>(n)][static_cast<std::size_t>(p)] =
          binomial(n - 1, p - 1) * binomial(kHighestNumber - n, 5 - p) / all;
  return q;
}

bool ascending(const DrawRecord& d) {
  return d.A < d.B && d.B < d.C && d.C < d.D && d.D < d.E;
}

void add(CellExpectation& cell, double chance, double draws) {
  cell.expected += draws * chance;
  cell.variance += draws * chance * (1 - chance);
}

}  // namespace

DistributionExpectation distributionExpectation(const std::vector<DrawRecord>& draws) {
  double ordered = 0;
  for (const DrawRecord& draw : draws) ordered += ascending(draw);
  const double unordered = static_cast<double>(draws.size()) - ordered;
  const double total = static_cast<double>(draws.size());
  const auto q = orderedChances();
  const double uniform = 1.0 / kHighestNumber;
  DistributionExpectation result;
  for (int n = 1; n <= kHighestNumber; ++n) {
    auto& row = result.cells[static_cast<std::size_t>(n)];
    for (int p = 1; p <= 5; ++p) {
      add(row[static_cast<std::size_t>(p)],
          q[static_cast<std::size_t>(n)][static_cast<std::size_t>(p)], ordered);
      add(row[static_cast<std::size_t>(p)], uniform, unordered);
    }
    add(row[6], uniform, total);
    add(row[kAverageColumn], 6.0 / kHighestNumber, total);
  }
  return result;
}

std::optional<double> standardized(double observed, const CellExpectation& cell) {
  if (!(cell.variance > 0)) return std::nullopt;
  return (observed - cell.expected) / std::sqrt(cell.variance);
}

}  // namespace kestaro
