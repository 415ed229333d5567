#ifndef KESTARO_ANALYSIS_CANDIDATE_SEARCH_H
#define KESTARO_ANALYSIS_CANDIDATE_SEARCH_H

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "display.h"
#include "draw_file.h"
#include "frequency_table.h"
#include "random_source.h"

namespace kestaro {

// Held by the main window for the whole run, written by the settings dialog
// and read live by a running search.
struct SearchSettings {
  std::atomic<std::int32_t> pickCount{10};
  std::atomic<std::int32_t> threshold{10};  // percent: 10 standard, 1 long shot
};

struct Candidate {
  std::array<int, 5> numbers{};  // ascending, pairwise different
  int bonus = 0;                 // different from all five
  double score = 0;              // percent
};

// The percentage of past draws in which each number stood at each position:
// terms[position][number] = count / (draws / 100.0); all 0 without draws.
struct ScoreTable {
  std::array<std::array<double, kHighestNumber + 1>, kPositions + 1> terms{};
};
ScoreTable makeScoreTable(const FrequencyTable& table, std::int32_t drawCount);

// The score: the six terms added in the order A, B, C, D, E, Z, divided by 6.
double scoreOf(const ScoreTable& scores, const std::array<int, 5>& numbers, int bonus);

// Returns the highest score any valid combination reaches, computed with the
// very arithmetic of scoreOf.
double maxScore(const ScoreTable& scores);

// Draws combinations from one seed in the exact order of the original
// generator (A, B, C, D, E with rejection, sort, Z with rejection) and keeps
// the first whose score reaches the live threshold.
class CandidateGenerator {
 public:
  explicit CandidateGenerator(const ScoreTable& scores);
  // Seeds the generator once per candidate.
  void seedFromClock(const Clock& clock);
  // The next accepted candidate, or nothing as soon as the threshold is above
  // `reachable`; no value is drawn then, so generating again goes on exactly
  // where it stopped.
  std::optional<Candidate> generate(const std::atomic<std::int32_t>& threshold, double reachable);
  std::uint64_t attempts() const { return attempts_; }

 private:
  void refill();

  const ScoreTable& scores_;
  RandomSource source_;
  // The next numbers of source_'s sequence, made in bulk: refilling seldom
  // keeps its branch out of the way of the attempts.
  std::array<std::uint8_t, 64> batch_{};
  std::size_t used_ = 64;
  std::uint64_t attempts_ = 0;
};

// Waits the given milliseconds; the Windows layer hands in Sleep.
using Wait = std::function<void(int milliseconds)>;

// Everything one search is started with. The worker owns it and frees it
// when it ends, so nothing it reaches goes away under it.
struct SearchJob {
  // Holds the id of the one search that may go on; 0 once stopped.
  const std::atomic<std::int32_t>* stopFlag = nullptr;
  std::int32_t id = 0;
  const SearchSettings* settings = nullptr;
  // This search's own channel to the screen and for its end-of-search notice.
  std::shared_ptr<Display> display;
  std::string drawFile = kDrawFileName;
  Wait wait;
  Clock clock = systemClock;
};

// A search id not handed out before in this process, never 0.
std::int32_t newSearchId();

inline constexpr int kCandidateWaitMs = 1000;
inline constexpr int kPauseStepMs = 100;

// The body of the search worker.
void runSearch(SearchJob& job);

}  // namespace kestaro

#endif
