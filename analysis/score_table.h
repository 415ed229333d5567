#ifndef KESTARO_ANALYSIS_SCORE_TABLE_H
#define KESTARO_ANALYSIS_SCORE_TABLE_H

#include <array>
#include <cstdint>
#include <vector>

#include "draw_format.h"
#include "frequency_table.h"

namespace kestaro {

// The percentage of past draws in which each number stood at each position:
// terms[position][number] = count / (draws / 100.0); all 0 without draws.
struct ScoreTable {
  std::array<std::array<double, kHighestNumber + 1>, kPositions + 1> terms{};
};
ScoreTable makeScoreTable(const FrequencyTable& table, std::int32_t drawCount);
// The table of these draws: each counted by position, every draw in the divisor.
ScoreTable scoreTableOf(const std::vector<DrawRecord>& draws);

// The six terms added in the order A, B, C, D, E, Z.
inline double sumOf(const ScoreTable& scores, const std::array<int, 5>& numbers, int bonus) {
  const auto& t = scores.terms;
  return t[1][numbers[0]] + t[2][numbers[1]] + t[3][numbers[2]] + t[4][numbers[3]] +
         t[5][numbers[4]] + t[6][bonus];
}

// The score: the six terms added in the order A, B, C, D, E, Z, divided by 6.
inline double scoreOf(const ScoreTable& scores, const std::array<int, 5>& numbers, int bonus) {
  return sumOf(scores, numbers, bonus) / 6.0;
}

// Returns the lowest sum whose score reaches `limit`. Rounded division is
// monotonic, so a score reaches the limit exactly when its sum reaches this.
double lowestSumReaching(double limit);

// Returns the highest score any valid combination reaches, computed with the
// very arithmetic of scoreOf.
double maxScore(const ScoreTable& scores);

// Every combination there is: five ascending main numbers and a bonus that
// differs from them, C(31, 5) * 26.
inline constexpr std::int64_t kCombinations = 4417686;

// How many combinations score `threshold` or more, with the search's own test.
std::int64_t countReaching(const ScoreTable& scores, double threshold);
// The same for many thresholds at once, in one pass over the combinations.
std::vector<std::int64_t> countsReaching(const ScoreTable& scores,
                                         const std::vector<double>& thresholds);

}  // namespace kestaro

#endif
