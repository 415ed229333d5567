#include "backtest.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>

#include "candidate_lanes.h"
#include "draw_check.h"
#include "score_table.h"

namespace kestaro {

std::uint32_t ticketSeed(const BacktestRequest& request, int target, int ticket) {
  const std::uint64_t offset =
      static_cast<std::uint64_t>(target - 1) * static_cast<std::uint64_t>(request.count) +
      static_cast<std::uint64_t>(ticket);
  return request.seed + static_cast<std::uint32_t>(offset);
}

namespace {

std::uint32_t maskOf(const std::array<int, 5>& numbers) {
  std::uint32_t mask = 0;
  for (int number : numbers) mask |= 1u << number;
  return mask;
}

// Target t (from 1) and the t - 1 draws before it, scored as a search scores
// its whole file.
struct Target {
  int number = 0;
  TargetState state = TargetState::Tested;
  ScoreTable scores;
  double reachable = 0;
  std::optional<ReachFilter> filter;
  std::vector<Candidate> candidates;
};

// The draws before a worker's latest target, counted once: each worker takes
// its targets in rising order, so each draw is added once per worker.
struct RunningTable {
  FrequencyTable table;
  int counted = 0;
  RunningTable() { table.reset(); }
  const FrequencyTable& before(const std::vector<DrawRecord>& draws, int number) {
    for (; counted < number - 1; ++counted) table.addDraw(draws[static_cast<std::size_t>(counted)]);
    return table;
  }
};

std::unique_ptr<Target> prepare(const std::vector<DrawRecord>& draws,
                                const BacktestRequest& request, int number, bool filtered,
                                RunningTable& running) {
  auto target = std::make_unique<Target>();
  target->number = number;
  target->scores = makeScoreTable(running.before(draws, number), number - 1);
  target->reachable = maxScore(target->scores);
  if (request.threshold > target->reachable) {
    target->state = TargetState::OutOfReach;
  } else if (checkDraw(draws[static_cast<std::size_t>(number - 1)])) {
    target->state = TargetState::Invalid;
  } else if (filtered) {
    target->filter = reachFilter(target->scores, lowestSumReaching(request.threshold));
  }
  return target;
}

// The candidates one seed after another, as the search finds them.
void searchPlainly(Target& target, const BacktestRequest& request) {
  CandidateGenerator generator(target.scores);
  target.candidates.clear();
  for (int k = 0; k < request.count; ++k) {
    generator.seed(ticketSeed(request, target.number, k));
    target.candidates.push_back(*generator.generate(request.threshold, target.reachable));
  }
}

TargetResult resultOf(const Target& target, const std::vector<DrawRecord>& draws) {
  TargetResult result;
  result.state = target.state;
  for (const Candidate& candidate : target.candidates)
    result.tickets.push_back(
        scoreTicket(candidate, draws[static_cast<std::size_t>(target.number - 1)]));
  return result;
}

// What the workers share: the targets left, the results, the progress.
struct Walk {
  const std::vector<DrawRecord>& draws;
  const BacktestRequest& request;
  const BacktestProgress& progress;
  std::vector<TargetResult> results;
  std::atomic<int> next{0};
  std::mutex reporting;
  int done = 0;

  Walk(const std::vector<DrawRecord>& d, const BacktestRequest& r, const BacktestProgress& p,
       int targets)
      : draws(d), request(r), progress(p), results(static_cast<std::size_t>(targets)) {}
  int total() const { return static_cast<int>(results.size()); }
  // The next target's index, or nothing when all are taken.
  std::optional<int> take() {
    const int index = next++;
    return index < total() ? std::optional<int>(index) : std::nullopt;
  }
  void store(int index, const Target& target) {
    results[static_cast<std::size_t>(index)] = resultOf(target, draws);
    const std::lock_guard<std::mutex> lock(reporting);
    if (progress) progress(++done, total());
  }
};

void walkPlainly(Walk& walk) {
  RunningTable running;
  while (const std::optional<int> index = walk.take()) {
    const auto target =
        prepare(walk.draws, walk.request, walk.request.from + *index, false, running);
    if (target->state == TargetState::Tested) searchPlainly(*target, walk.request);
    walk.store(*index, *target);
  }
}

// Targets where few combinations reach go to the lanes; the others are quick
// one seed after another.
void walkInLanes(Walk& walk) {
  std::vector<std::unique_ptr<Target>> running(walk.results.size());
  RunningTable table;
  const auto next = [&]() -> std::optional<LaneJob> {
    while (const std::optional<int> index = walk.take()) {
      auto target = prepare(walk.draws, walk.request, walk.request.from + *index, true, table);
      if (target->state == TargetState::Tested && target->filter) {
        target->candidates.resize(static_cast<std::size_t>(walk.request.count));
        const LaneJob job{&target->scores,
                          &*target->filter,
                          lowestSumReaching(walk.request.threshold),
                          ticketSeed(walk.request, target->number, 0),
                          walk.request.count,
                          target->candidates.data(),
                          *index};
        running[static_cast<std::size_t>(*index)] = std::move(target);
        return job;
      }
      if (target->state == TargetState::Tested) searchPlainly(*target, walk.request);
      walk.store(*index, *target);
    }
    return std::nullopt;
  };
  runInLanes(next, [&](int index) {
    walk.store(index, *running[static_cast<std::size_t>(index)]);
    running[static_cast<std::size_t>(index)].reset();
  });
}

}  // namespace

Ticket scoreTicket(const Candidate& candidate, const DrawRecord& target) {
  const std::uint32_t drawn = maskOf({target.A, target.B, target.C, target.D, target.E});
  const std::uint32_t held = maskOf(candidate.numbers);
  Ticket ticket;
  ticket.candidate = candidate;
  ticket.matches = __builtin_popcount(drawn & held);
  ticket.bonusHit = (held >> target.Z) & 1u;
  return ticket;
}

std::vector<TargetResult> runBacktest(const std::vector<DrawRecord>& draws,
                                      const BacktestRequest& request, const BacktestRun& how) {
  const int last = static_cast<int>(draws.size());
  const int total = last >= request.from ? last - request.from + 1 : 0;
  Walk walk(draws, request, how.progress, total);
  const bool lanes = how.path == SearchPath::Lanes && lanesSupported();
  // Each worker takes the next target left: their costs differ by far.
  how.run(how.workers, [&] { lanes ? walkInLanes(walk) : walkPlainly(walk); });
  return std::move(walk.results);
}

int tierOf(const Ticket& ticket) {
  switch (ticket.matches) {
    case 5:
      return 1;
    case 4:
      return ticket.bonusHit ? 2 : 3;
    case 3:
      return 4;
    default:
      return 0;
  }
}

double matchVariance(const std::vector<Ticket>& tickets) {
  std::array<double, kHighestNumber + 1> held{};
  for (const Ticket& ticket : tickets)
    for (int number : ticket.candidate.numbers) held[static_cast<std::size_t>(number)] += 1;
  // Every number held equally often: the total is the same for every draw,
  // exactly, where the formula would leave a rounding residue.
  if (std::all_of(held.begin() + 2, held.end(), [&](double c) { return c == held[1]; })) return 0;
  double s1 = 0, s2 = 0;
  for (double c : held) {
    s1 += c;
    s2 += c * c;
  }
  // One number drawn: 5/31 · 26/31; two: 5·4/(31·30) less (5/31)².
  return s2 * 130.0 / 961.0 + (s1 * s1 - s2) * (2.0 / 93.0 - 25.0 / 961.0);
}

double expectedCount(std::int64_t tickets, std::int64_t ways) {
  return static_cast<double>(tickets) * static_cast<double>(ways) /
         static_cast<double>(kMainCombinations);
}

BacktestSummary summarize(const std::vector<TargetResult>& results, int ticketsPerTarget) {
  BacktestSummary summary;
  std::int64_t matched = 0;
  double deviation = 0, variance = 0;
  for (const TargetResult& result : results) {
    if (result.state == TargetState::OutOfReach) ++summary.outOfReach;
    if (result.state == TargetState::Invalid) ++summary.invalid;
    if (result.state != TargetState::Tested) continue;
    ++summary.targets;
    std::int64_t targetMatches = 0;
    for (const Ticket& ticket : result.tickets) {
      ++summary.tickets;
      ++summary.matches[static_cast<std::size_t>(ticket.matches)];
      if (const int tier = tierOf(ticket)) ++summary.tiers[static_cast<std::size_t>(tier - 1)];
      targetMatches += ticket.matches;
    }
    matched += targetMatches;
    deviation += static_cast<double>(targetMatches) - ticketsPerTarget * kFairMeanMatches;
    variance += matchVariance(result.tickets);
  }
  if (summary.tickets == 0) return summary;
  summary.meanMatches = static_cast<double>(matched) / static_cast<double>(summary.tickets);
  // Tickets holding every number equally often match a constant total.
  if (!(variance > 0)) return summary;
  summary.z = deviation / std::sqrt(variance);
  summary.p = std::erfc(std::fabs(*summary.z) / std::sqrt(2.0));
  return summary;
}

}  // namespace kestaro
