#ifndef KESTARO_BACKTEST_BACKTEST_H
#define KESTARO_BACKTEST_BACKTEST_H

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "candidate_generator.h"
#include "draw_format.h"

// Picks for every past draw with only the draws before it, and measures the
// matches against what a fair draw gives any ticket.
namespace kestaro {

struct BacktestRequest {
  int from = 2;    // the first target, counting the draws from 1
  int count = 10;  // tickets per target
  double threshold = 10;
  std::uint32_t seed = 0;
};

// The seed of ticket k (from 0) of target t (from 1): the tickets of a target
// are the search's candidates for consecutive seeds, modulo 2^32.
std::uint32_t ticketSeed(const BacktestRequest& request, int target, int ticket);

struct Ticket {
  Candidate candidate;
  int matches = 0;        // main numbers among the target's five
  bool bonusHit = false;  // the target's bonus among the ticket's five
};

enum class TargetState { Tested, OutOfReach, Invalid };

struct TargetResult {
  TargetState state = TargetState::Tested;
  std::vector<Ticket> tickets;  // only for a tested target
};

// Runs `work` on `workers` threads at once and returns when all have ended;
// the platform hands it in.
using RunWorkers = std::function<void(int workers, const std::function<void()>& work)>;
// Called after each target with how many are done of all, one call at a time.
using BacktestProgress = std::function<void(int done, int total)>;

// How the candidates are searched: both give the same, bit for bit.
enum class SearchPath {
  Plain,  // one seed after another
  Lanes,  // side by side in the vector unit, where the processor has one
};

struct BacktestRun {
  int workers = 1;
  RunWorkers run;
  BacktestProgress progress;  // may be empty
  SearchPath path = SearchPath::Lanes;
};

// The results of the targets from request.from to the last, in order: the
// same for any number of workers and either path.
std::vector<TargetResult> runBacktest(const std::vector<DrawRecord>& draws,
                                      const BacktestRequest& request, const BacktestRun& how);

// A ticket's matches with a target draw.
Ticket scoreTicket(const Candidate& candidate, const DrawRecord& target);

// What a fair draw gives a ticket of five different numbers, as numerators
// over C(31, 5).
inline constexpr std::int64_t kMainCombinations = 169911;
inline constexpr std::array<std::int64_t, 6> kMatchWays{65780, 74750, 26000, 3250, 130, 1};
// 1等 to 4等: 5; 4 and the bonus; 4 without it; 3.
inline constexpr std::array<std::int64_t, 4> kTierWays{1, 5, 125, 3250};
inline constexpr double kFairMeanMatches = 25.0 / 31.0;

// The tier (1 to 4) a ticket wins, or 0.
int tierOf(const Ticket& ticket);

// The variance of a target's summed matches for a fair draw, from how many of
// its tickets hold each number; exact when tickets repeat.
double matchVariance(const std::vector<Ticket>& tickets);

struct BacktestSummary {
  int targets = 0;  // tested
  int outOfReach = 0;
  int invalid = 0;
  std::int64_t tickets = 0;
  std::array<std::int64_t, 6> matches{};
  std::array<std::int64_t, 4> tiers{};
  std::optional<double> meanMatches;  // none without a tested target
  // None without a tested target, or when the tickets of every target held
  // each number equally often: then no draw changes the total.
  std::optional<double> z;
  std::optional<double> p;  // two-sided
};

BacktestSummary summarize(const std::vector<TargetResult>& results, int ticketsPerTarget);

// The expected count out of `tickets` for `ways` out of C(31, 5).
double expectedCount(std::int64_t tickets, std::int64_t ways);

}  // namespace kestaro

#endif
