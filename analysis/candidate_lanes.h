#ifndef KESTARO_ANALYSIS_CANDIDATE_LANES_H
#define KESTARO_ANALYSIS_CANDIDATE_LANES_H

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "candidate_generator.h"
#include "score_table.h"

// The search's candidates for many seeds and histories at once, each seed's
// chain of attempts in its own lane of the vector unit: the same candidates
// as CandidateGenerator, bit for bit, many times faster where few
// combinations reach.
namespace kestaro {

// A superset of the combinations that reach, as bits chosen by
// reachSlot(main numbers' bits, bonus).
inline constexpr std::size_t kReachWords = 2048;  // 2^16 bits
struct ReachFilter {
  std::array<std::uint32_t, kReachWords> words{};
  // Cheaper first tests, in registers: the main numbers every reaching
  // combination holds, and the bonuses any has.
  std::uint32_t shared = 0;
  std::uint32_t bonuses = 0;
};

inline std::uint32_t reachSlot(std::uint32_t chosen, std::uint32_t bonus) {
  return ((chosen + bonus * 0x9E3779B1u) * 0x85EBCA6Bu) >> 16;
}

// The filter of the combinations whose sum reaches `sumLimit`; none when so
// many reach that a filter would not pay (their candidates come quickly).
std::optional<ReachFilter> reachFilter(const ScoreTable& scores, double sumLimit);

// The candidates for the seeds first, first + 1, ... on one history, at a
// threshold within reach; written to out[0 .. count - 1].
struct LaneJob {
  const ScoreTable* scores = nullptr;
  const ReachFilter* filter = nullptr;
  double sumLimit = 0;  // lowestSumReaching(threshold)
  std::uint32_t firstSeed = 0;
  int count = 0;
  Candidate* out = nullptr;
  int id = 0;  // handed back when the job is done
};

// Whether this processor has the vector instructions the lanes use.
bool lanesSupported();

// Takes jobs from `next` until it has none and runs their seeds side by side;
// calls `finished(id)` once each job's candidates are all written. Only where
// lanesSupported().
void runInLanes(const std::function<std::optional<LaneJob>()>& next,
                const std::function<void(int id)>& finished);

}  // namespace kestaro

#endif
