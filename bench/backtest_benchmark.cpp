// The backtest of the sample history, ten tickets a target, by the vector
// lanes, by the search loop one seed after another and by a plain
// transcription of the search; and the attempts each makes per second on
// one core where few combinations reach.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "backtest.h"
#include "candidate_lanes.h"
#include "draw_file.h"
#include "test_reference_search.h"

namespace kestaro {
namespace {

const std::vector<DrawRecord>& sample() {
  static const std::vector<DrawRecord> draws =
      readDraws(KESTARO_SAMPLE_HISTORY).value_or(std::vector<DrawRecord>{});
  return draws;
}

void onThreads(int workers, const std::function<void()>& work) {
  std::vector<std::thread> running;
  running.reserve(static_cast<std::size_t>(workers));
  for (int i = 0; i < workers; ++i) running.emplace_back(work);
  for (std::thread& thread : running) thread.join();
}

constexpr int kTickets = 10;
// Enough chains that the lanes are seldom idle waiting for the last.
constexpr int kSeeds = 64;

// Every ticket by the transcription, the targets spread over the workers as
// the backtest spreads them.
std::int64_t transcribedBacktest(int threshold, int workers) {
  const std::vector<DrawRecord>& draws = sample();
  std::atomic<int> next{2};
  std::atomic<std::int64_t> attempts{0};
  onThreads(workers, [&] {
    for (int t = next++; t <= static_cast<int>(draws.size()); t = next++) {
      const std::vector<DrawRecord> before(draws.begin(), draws.begin() + (t - 1));
      if (threshold > maxScore(scoreTableOf(before))) continue;
      const FrequencyTable table = frequencyTableOf(before);
      for (int k = 0; k < kTickets; ++k) {
        const auto seed = static_cast<std::uint32_t>((t - 1) * kTickets + k);
        attempts += testing::referenceCandidate(table, t - 1, seed, threshold).attempts;
      }
    }
  });
  return attempts;
}

enum class Way { Lanes, SearchLoop, Transcription };

void BM_Backtest(benchmark::State& state, Way way) {
  const int threshold = static_cast<int>(state.range(0));
  const int workers = static_cast<int>(state.range(1));
  BacktestRequest request;
  request.threshold = threshold;
  BacktestRun how;
  how.workers = workers;
  how.run = onThreads;
  how.path = way == Way::Lanes ? SearchPath::Lanes : SearchPath::Plain;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (way == Way::Transcription) {
      benchmark::DoNotOptimize(transcribedBacktest(threshold, workers));
    } else {
      benchmark::DoNotOptimize(runBacktest(sample(), request, how));
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["seconds"] = seconds / static_cast<double>(state.iterations());
}

// The first 510 draws, where 3 combinations reach 10%: each candidate takes
// about a million attempts.
struct Hard {
  std::vector<DrawRecord> draws;
  ScoreTable scores;
  ReachFilter filter;
  double limit = lowestSumReaching(10);
  std::uint64_t attemptsPerRound = 0;  // for seeds 0 .. kSeeds - 1, the same on every path
  Hard() {
    draws.assign(sample().begin(), sample().begin() + 510);
    scores = scoreTableOf(draws);
    filter = *reachFilter(scores, limit);
    CandidateGenerator generator(scores);
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
      generator.seed(seed);
      generator.generate(10.0, maxScore(scores));
    }
    attemptsPerRound = generator.attempts();
  }
};

const Hard& hard() {
  static const Hard instance;
  return instance;
}

void BM_Attempts(benchmark::State& state, Way way) {
  const Hard& h = hard();
  const FrequencyTable table = frequencyTableOf(h.draws);
  std::array<Candidate, kSeeds> found;
  for (auto _ : state) {
    if (way == Way::Lanes) {
      bool given = false;
      runInLanes(
          [&]() -> std::optional<LaneJob> {
            if (given) return std::nullopt;
            given = true;
            return LaneJob{&h.scores, &h.filter, h.limit, 0, kSeeds, found.data(), 0};
          },
          [](int) {});
    } else {
      for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        if (way == Way::SearchLoop) {
          CandidateGenerator generator(h.scores);
          generator.seed(seed);
          found[seed] = *generator.generate(10.0, maxScore(h.scores));
        } else {
          const auto plain = testing::referenceCandidate(table, 510, seed, 10);
          found[seed] = Candidate{plain.numbers, plain.bonus, plain.score};
        }
      }
    }
    benchmark::DoNotOptimize(found);
  }
  state.counters["attempts_per_s"] = benchmark::Counter(
      static_cast<double>(h.attemptsPerRound * state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_Attempts, lanes, Way::Lanes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Attempts, search_loop, Way::SearchLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Attempts, plain_transcription, Way::Transcription)
    ->Unit(benchmark::kMillisecond);

// Threshold, workers. One pass each: the slowest take minutes.
void backtestArguments(benchmark::internal::Benchmark* b) {
  for (int threshold : {9, 10})
    for (int workers : {1, 2}) b->Args({threshold, workers});
  b->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}
BENCHMARK_CAPTURE(BM_Backtest, lanes, Way::Lanes)->Apply(backtestArguments);
BENCHMARK_CAPTURE(BM_Backtest, search_loop, Way::SearchLoop)->Apply(backtestArguments);
BENCHMARK_CAPTURE(BM_Backtest, plain_transcription, Way::Transcription)->Apply(backtestArguments);

}  // namespace
}  // namespace kestaro
