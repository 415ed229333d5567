// Nanoseconds per generation attempt of the search loop against a plain
// transcription of it, and the cost of the exact maximum.
#include <benchmark/benchmark.h>

#include "candidate_search.h"
#include "test_reference_search.h"
#include "test_support.h"

namespace kestaro {
namespace {

// A few hundred draws: the standard threshold is barely within reach, so a
// candidate takes thousands of attempts.
struct History {
  FrequencyTable table;
  int drawCount = 0;
  ScoreTable scores;
  double reachable = 0;

  History() : History(parseDraws(testing::realisticHistory(300, 300))) {}
  explicit History(const std::vector<DrawRecord>& draws) {
    table.reset();
    for (const auto& draw : draws) table.addDraw(draw);
    drawCount = static_cast<int>(draws.size());
    scores = makeScoreTable(table, drawCount);
    reachable = maxScore(scores);
  }
};

const History& history() {
  static const History instance;
  return instance;
}

constexpr int kThreshold = 10;

}  // namespace

// The figures mean nothing unless both loops choose the same candidates.
bool sameCandidates() {
  const History& h = history();
  std::atomic<std::int32_t> threshold{kThreshold};
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    CandidateGenerator generator(h.scores);
    generator.seed(seed);
    auto candidate = generator.generate(threshold, h.reachable);
    auto plain = testing::referenceCandidate(h.table, h.drawCount, seed, kThreshold);
    if (!candidate || candidate->numbers != plain.numbers || candidate->bonus != plain.bonus ||
        candidate->score != plain.score) {
      return false;
    }
  }
  return true;
}

namespace {

void BM_GenerationOnly(benchmark::State& state, bool plainTranscription) {
  const History& h = history();
  std::atomic<std::int32_t> threshold{kThreshold};
  std::uint64_t attempts = 0;
  std::uint32_t seed = 0;
  for (auto _ : state) {
    if (plainTranscription) {
      auto plain = testing::referenceCandidate(h.table, h.drawCount, seed, kThreshold);
      benchmark::DoNotOptimize(plain);
      attempts += plain.attempts;
    } else {
      CandidateGenerator generator(h.scores);
      generator.seed(seed);
      auto candidate = generator.generate(threshold, h.reachable);
      benchmark::DoNotOptimize(candidate);
      attempts += generator.attempts();
    }
    ++seed;
  }
  state.counters["ns_per_attempt"] = benchmark::Counter(
      static_cast<double>(attempts), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ExactMaximum(benchmark::State& state) {
  const History& h = history();
  for (auto _ : state) benchmark::DoNotOptimize(maxScore(h.scores));
}

// What `kestaro-cli search --seed` spends its time on: candidates for seeds
// S, S + 1, ... on the first 510 published draws, where only 3 of the
// 4,417,686 combinations reach 10%.
void BM_CommandLineSearch(benchmark::State& state, bool plainTranscription) {
  static const History h = [] {
    std::vector<DrawRecord> draws =
        readDraws(KESTARO_SAMPLE_HISTORY).value_or(std::vector<DrawRecord>{});
    draws.resize(510);
    return History(draws);
  }();
  const double threshold = kThreshold;
  std::uint32_t seed = 1700000000;
  std::int64_t candidates = 0;
  for (auto _ : state) {
    if (plainTranscription) {
      benchmark::DoNotOptimize(testing::referenceCandidate(h.table, h.drawCount, seed, kThreshold));
    } else {
      CandidateGenerator generator(h.scores);
      generator.seed(seed);
      benchmark::DoNotOptimize(generator.generate(threshold, h.reachable));
    }
    ++seed;
    ++candidates;
  }
  state.counters["candidates_per_s"] =
      benchmark::Counter(static_cast<double>(candidates), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_CommandLineSearch, search_loop, false)
    ->MinTime(3.0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CommandLineSearch, plain_transcription, true)
    ->MinTime(3.0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GenerationOnly, search_loop, false)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_GenerationOnly, plain_transcription, true)->MinTime(1.0);
BENCHMARK(BM_ExactMaximum);

}  // namespace
}  // namespace kestaro
