#include "score_table.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestaro {

ScoreTable makeScoreTable(const FrequencyTable& table, std::int32_t drawCount) {
  ScoreTable scores;
  if (drawCount == 0) return scores;  // no draw: every term 0, never 0 / 0
  const double divisor = drawCount / 100.0;
  for (int position = 1; position <= kPositions; ++position) {
    for (int number = 1; number <= kHighestNumber; ++number) {
      scores.terms[position][number] = table.counts[number][position] / divisor;
    }
  }
  return scores;
}

ScoreTable scoreTableOf(const std::vector<DrawRecord>& draws) {
  return makeScoreTable(frequencyTableOf(draws), static_cast<std::int32_t>(draws.size()));
}

double lowestSumReaching(double limit) {
  double sum = limit * 6.0;
  while (sum / 6.0 >= limit) sum = std::nextafter(sum, -HUGE_VAL);
  while (sum / 6.0 < limit) sum = std::nextafter(sum, HUGE_VAL);
  return sum;
}

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

// The highest partial sum A..E over ascending main numbers that leave out
// `bonus`. Rounded addition is monotonic, so keeping the best sum per last
// number at each position gives exactly the best rounded total.
double bestMainSum(const ScoreTable& scores, int bonus) {
  std::array<double, kHighestNumber + 1> best;
  best.fill(kNone);
  for (int number = 1; number <= kHighestNumber; ++number) {
    if (number != bonus) best[number] = scores.terms[1][number];
  }
  for (int position = 2; position <= 5; ++position) {
    std::array<double, kHighestNumber + 1> next;
    next.fill(kNone);
    double before = kNone;  // best sum ending below `number`
    for (int number = 1; number <= kHighestNumber; ++number) {
      if (number != bonus && before != kNone) {
        next[number] = before + scores.terms[position][number];
      }
      if (best[number] > before) before = best[number];
    }
    best = next;
  }
  double result = kNone;
  for (double sum : best) result = sum > result ? sum : result;
  return result;
}

// Calls visit(main, bonus) for each of the kCombinations combinations: five
// ascending main numbers and a bonus number apart from them.
template <typename Visit>
void forEveryCombination(Visit visit) {
  std::array<int, 5> n{};
  for (n[0] = 1; n[0] <= kHighestNumber; ++n[0])
    for (n[1] = n[0] + 1; n[1] <= kHighestNumber; ++n[1])
      for (n[2] = n[1] + 1; n[2] <= kHighestNumber; ++n[2])
        for (n[3] = n[2] + 1; n[3] <= kHighestNumber; ++n[3])
          for (n[4] = n[3] + 1; n[4] <= kHighestNumber; ++n[4])
            for (int bonus = 1; bonus <= kHighestNumber; ++bonus)
              if (bonus != n[0] && bonus != n[1] && bonus != n[2] && bonus != n[3] && bonus != n[4])
                visit(n, bonus);
}

}  // namespace

double maxScore(const ScoreTable& scores) {
  double result = kNone;
  for (int bonus = 1; bonus <= kHighestNumber; ++bonus) {
    double score = (bestMainSum(scores, bonus) + scores.terms[6][bonus]) / 6.0;
    if (score > result) result = score;
  }
  return result;
}

std::int64_t countReaching(const ScoreTable& scores, double threshold) {
  std::int64_t count = 0;
  forEveryCombination([&](const std::array<int, 5>& n, int bonus) {
    count += scoreOf(scores, n, bonus) >= threshold;
  });
  return count;
}

std::vector<std::int64_t> countsReaching(const ScoreTable& scores,
                                         const std::vector<double>& thresholds) {
  std::vector<double> sums;
  sums.reserve(static_cast<std::size_t>(kCombinations));
  forEveryCombination(
      [&](const std::array<int, 5>& n, int bonus) { sums.push_back(sumOf(scores, n, bonus)); });
  std::sort(sums.begin(), sums.end());
  // A score reaches a threshold exactly when its sum reaches the lowest sum
  // that does.
  std::vector<std::int64_t> counts;
  counts.reserve(thresholds.size());
  for (double threshold : thresholds)
    counts.push_back(sums.end() -
                     std::lower_bound(sums.begin(), sums.end(), lowestSumReaching(threshold)));
  return counts;
}

}  // namespace kestaro
