#ifndef KESTARO_ANALYSIS_CANDIDATE_GENERATOR_H
#define KESTARO_ANALYSIS_CANDIDATE_GENERATOR_H

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

#include "random_source.h"
#include "score_table.h"

namespace kestaro {

struct Candidate {
  std::array<int, 5> numbers{};  // ascending, pairwise different
  int bonus = 0;                 // different from all five
  double score = 0;              // percent
};

// Draws combinations from one seed in the exact order of the original
// generator (A, B, C, D, E with rejection, sort, Z with rejection) and keeps
// the first whose score reaches the threshold.
class CandidateGenerator {
 public:
  explicit CandidateGenerator(const ScoreTable& scores);
  // Seeds the generator once per candidate.
  void seed(std::uint32_t value);
  // The next accepted candidate, or nothing as soon as the threshold (percent)
  // is above `reachable`; no value is drawn then, so generating again goes on
  // exactly where it stopped. The window's live setting is read afresh at
  // every test; a command line's threshold is fixed and may be fractional.
  std::optional<Candidate> generate(const std::atomic<std::int32_t>& threshold, double reachable);
  std::optional<Candidate> generate(double threshold, double reachable);
  std::uint64_t attempts() const { return attempts_; }

 private:
  template <typename ReadThreshold>
  std::optional<Candidate> generateWith(ReadThreshold threshold, double reachable);
  void refill();

  const ScoreTable& scores_;
  RandomSource source_;
  // The next numbers of source_'s sequence, made in bulk: refilling seldom
  // keeps its branch out of the way of the attempts.
  std::array<std::uint8_t, 64> batch_{};
  std::size_t used_ = 64;
  std::uint64_t attempts_ = 0;
};

}  // namespace kestaro

#endif
