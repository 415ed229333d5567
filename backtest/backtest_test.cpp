#include "backtest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "backtest_summary.h"
#include "candidate_lanes.h"
#include "draw_file.h"
#include "test_reference_search.h"
#include "test_support.h"

namespace kestaro {
namespace {

RunWorkers threads() {
  return [](int workers, const std::function<void()>& work) {
    std::vector<std::thread> running;
    running.reserve(static_cast<std::size_t>(workers));
    for (int i = 0; i < workers; ++i) running.emplace_back(work);
    for (std::thread& thread : running) thread.join();
  };
}

BacktestRun how(int workers, SearchPath path) {
  BacktestRun run;
  run.workers = workers;
  run.run = threads();
  run.path = path;
  return run;
}

Candidate candidate(std::array<int, 5> numbers, int bonus) {
  return Candidate{numbers, bonus, 0};
}

std::int64_t binomial(int n, int k) {
  std::int64_t result = 1;
  for (int i = 1; i <= k; ++i) result = result * (n - k + i) / i;
  return result;
}

// Calls `visit` with every set of five main numbers, ascending.
template <typename Visit>
void forEveryMainSet(Visit visit) {
  std::array<int, 5> n{};
  for (n[0] = 1; n[0] <= 27; ++n[0])
    for (n[1] = n[0] + 1; n[1] <= 28; ++n[1])
      for (n[2] = n[1] + 1; n[2] <= 29; ++n[2])
        for (n[3] = n[2] + 1; n[3] <= 30; ++n[3])
          for (n[4] = n[3] + 1; n[4] <= 31; ++n[4]) visit(n);
}

// Every draw of five main numbers, the mean and the variance of the summed
// matches of `tickets`, counted one draw at a time.
std::pair<double, double> exactMoments(const std::vector<Ticket>& tickets) {
  double sum = 0, squares = 0, draws = 0;
  forEveryMainSet([&](const std::array<int, 5>& n) {
    double matched = 0;
    for (const Ticket& ticket : tickets)
      for (int number : ticket.candidate.numbers) matched += std::count(n.begin(), n.end(), number);
    sum += matched;
    squares += matched * matched;
    ++draws;
  });
  const double mean = sum / draws;
  return {mean, squares / draws - mean * mean};
}

TEST(BacktestOdds, FairDrawOddsAreTheHypergeometricOnes) {
  std::int64_t all = 0;
  for (int m = 0; m <= 5; ++m) {
    EXPECT_EQ(kMatchWays[static_cast<std::size_t>(m)], binomial(5, m) * binomial(26, 5 - m)) << m;
    all += kMatchWays[static_cast<std::size_t>(m)];
  }
  EXPECT_EQ(all, binomial(31, 5));
  EXPECT_EQ(kMainCombinations, 169911);
  // 2等: four of five and the bonus as the fifth; 3等: any other fifth.
  EXPECT_EQ(kTierWays[1] + kTierWays[2], kMatchWays[4]);
  EXPECT_EQ(kTierWays[1], 5);
  EXPECT_EQ(kTierWays[3], kMatchWays[3]);
  EXPECT_DOUBLE_EQ(expectedCount(169911 * 2, kTierWays[2]), 250.0);
}

TEST(BacktestOdds, VarianceOfOneTicketAndOfTwoEqualOnes) {
  // One ticket: hypergeometric, 5 · 5/31 · 26/31 · 26/30.
  const Ticket one{candidate({1, 2, 3, 4, 5}, 6), 0, false};
  EXPECT_NEAR(matchVariance({one}), 16900.0 / 28830.0, 1e-12);
  // Two equal tickets: twice the matches, four times the variance.
  EXPECT_NEAR(matchVariance({one, one}), 4 * 16900.0 / 28830.0, 1e-12);
}

TEST(BacktestOdds, VarianceOfOverlappingTicketsAgreesWithEveryDraw) {
  const std::vector<Ticket> tickets{{candidate({1, 2, 3, 4, 5}, 6), 0, false},
                                    {candidate({3, 4, 5, 6, 7}, 1), 0, false},
                                    {candidate({3, 4, 5, 6, 7}, 1), 0, false},
                                    {candidate({10, 17, 22, 30, 31}, 2), 0, false}};
  const auto [mean, variance] = exactMoments(tickets);
  EXPECT_NEAR(mean, 4 * kFairMeanMatches, 1e-9);
  EXPECT_NEAR(matchVariance(tickets), variance, 1e-9);
}

TEST(BacktestTickets, MatchesBonusHitAndTier) {
  const DrawRecord drawn{12, 3, 25, 7, 30, 9};  // a hand-edited order counts alike
  const Ticket five = scoreTicket(candidate({3, 7, 12, 25, 30}, 1), drawn);
  EXPECT_EQ(five.matches, 5);
  EXPECT_EQ(tierOf(five), 1);
  const Ticket second = scoreTicket(candidate({3, 7, 9, 12, 25}, 30), drawn);
  EXPECT_EQ(second.matches, 4);
  EXPECT_TRUE(second.bonusHit);
  EXPECT_EQ(tierOf(second), 2);
  // The ticket's own bonus plays no part.
  const Ticket third = scoreTicket(candidate({3, 7, 11, 12, 25}, 9), drawn);
  EXPECT_EQ(third.matches, 4);
  EXPECT_FALSE(third.bonusHit);
  EXPECT_EQ(tierOf(third), 3);
  const Ticket fourth = scoreTicket(candidate({1, 3, 7, 9, 12}, 2), drawn);
  EXPECT_EQ(fourth.matches, 3);
  EXPECT_EQ(tierOf(fourth), 4);
  EXPECT_EQ(tierOf(scoreTicket(candidate({1, 2, 3, 4, 7}, 5), drawn)), 0);
}

TEST(BacktestTickets, SeedsFollowOnAndWrapAround) {
  BacktestRequest request;
  request.count = 10;
  request.seed = 4294967290u;
  EXPECT_EQ(ticketSeed(request, 1, 0), 4294967290u);
  EXPECT_EQ(ticketSeed(request, 1, 5), 4294967295u);
  EXPECT_EQ(ticketSeed(request, 1, 6), 0u);
  EXPECT_EQ(ticketSeed(request, 3, 1), 4294967290u + 21u);
  request.count = 1 << 30;
  EXPECT_EQ(ticketSeed(request, 5, 7), 4294967290u + 7u);  // 4 · 2^30 wraps to 0
}

// Target t's tickets are the plain transcription's candidates for its seeds
// on the draws before it; targets out of reach or hand-edited have none.
TEST(BacktestTargets, TicketsAreTheSearchsCandidatesOnTheDrawsBefore) {
  std::vector<DrawRecord> draws = parseDraws(testing::realisticHistory(40, 7));
  draws[30] = DrawRecord{5, 5, 6, 7, 8, 9};  // hand-edited: the same number twice
  draws[37] = DrawRecord{0, 2, 3, 4, 5, 6};  // and out of reach: counted as out of reach
  BacktestRequest request;
  request.from = 3;
  request.count = 4;
  request.threshold = 16;  // out of reach from the 34th draw
  request.seed = 4294967000u;
  const std::vector<TargetResult> results = runBacktest(draws, request, how(1, SearchPath::Plain));
  ASSERT_EQ(results.size(), 38u);
  int tested = 0, outOfReach = 0, invalid = 0;
  for (int t = 3; t <= 40; ++t) {
    const TargetResult& result = results[static_cast<std::size_t>(t - 3)];
    const std::vector<DrawRecord> before(draws.begin(), draws.begin() + (t - 1));
    const double reachable = maxScore(scoreTableOf(before));
    if (reachable < 16) {
      ASSERT_EQ(result.state, TargetState::OutOfReach) << t;
      ++outOfReach;
      continue;
    }
    if (t == 31) {
      EXPECT_EQ(result.state, TargetState::Invalid);
      EXPECT_TRUE(result.tickets.empty());
      ++invalid;
      continue;
    }
    ASSERT_EQ(result.state, TargetState::Tested) << t;
    ++tested;
    ASSERT_EQ(result.tickets.size(), 4u);
    for (int k = 0; k < 4; ++k) {
      const std::uint32_t seed = 4294967000u + static_cast<std::uint32_t>((t - 1) * 4 + k);
      const auto plain = testing::referenceCandidate(frequencyTableOf(before), t - 1, seed, 16);
      const Ticket& ticket = result.tickets[static_cast<std::size_t>(k)];
      EXPECT_EQ(ticket.candidate.numbers, plain.numbers) << t << " " << k;
      EXPECT_EQ(ticket.candidate.bonus, plain.bonus);
      EXPECT_EQ(ticket.candidate.score, plain.score);
    }
  }
  EXPECT_GT(tested, 5);
  EXPECT_GT(outOfReach, 0);
  EXPECT_EQ(invalid, 1);
  const BacktestSummary summary = summarize(results, request.count);
  EXPECT_EQ(summary.targets, tested);
  EXPECT_EQ(summary.outOfReach, outOfReach);
  EXPECT_EQ(summary.invalid, invalid);
  EXPECT_EQ(summary.tickets, 4 * tested);
}

TEST(BacktestSummary, NothingTestedLeavesMeanAndZUndefined) {
  const std::vector<DrawRecord> draws = parseDraws(testing::realisticHistory(12, 3));
  BacktestRequest request;
  request.threshold = 200;  // beyond any history
  const BacktestSummary summary =
      summarize(runBacktest(draws, request, how(2, SearchPath::Lanes)), request.count);
  EXPECT_EQ(summary.targets, 0);
  EXPECT_EQ(summary.outOfReach, 11);
  EXPECT_FALSE(summary.meanMatches || summary.z || summary.p);
  request.from = 13;  // past the last draw: no target at all
  EXPECT_TRUE(runBacktest(draws, request, how(1, SearchPath::Plain)).empty());
}

TEST(BacktestSummary, SampleHistoryAtNinePercent) {
  const std::vector<DrawRecord> draws =
      readDraws(KESTARO_SAMPLE_HISTORY).value_or(std::vector<DrawRecord>{});
  ASSERT_EQ(draws.size(), 1397u);
  BacktestRequest request;
  request.threshold = 9;
  const BacktestSummary summary =
      summarize(runBacktest(draws, request, how(2, SearchPath::Lanes)), 10);
  EXPECT_EQ(summary.targets, 1396);
  EXPECT_EQ(summary.tickets, 13960);
  EXPECT_NEAR(*summary.meanMatches, 0.8127, 0.00005);
  EXPECT_NEAR(*summary.z, 0.60, 0.005);
  EXPECT_NEAR(*summary.p, std::erfc(0.60 / std::sqrt(2.0)), 0.005);
}

// Tickets that hold every number equally often match the same total
// whatever is drawn: the mean stands, z and p do not.
TEST(BacktestSummary, TicketsEvenlySpreadHaveNoZ) {
  TargetResult target;
  for (int i = 0; i < 31; ++i) {
    std::array<int, 5> numbers;
    for (int j = 0; j < 5; ++j) numbers[static_cast<std::size_t>(j)] = (i + j) % 31 + 1;
    std::sort(numbers.begin(), numbers.end());
    target.tickets.push_back(scoreTicket(candidate(numbers, 0), DrawRecord{1, 2, 3, 4, 5, 6}));
  }
  const BacktestSummary summary = summarize({target}, 31);
  ASSERT_TRUE(summary.meanMatches);
  EXPECT_DOUBLE_EQ(*summary.meanMatches, 25.0 / 31.0);
  EXPECT_FALSE(summary.z || summary.p);
  EXPECT_NE(backtestVerdictText(summary).find("z と p はありません"), std::string::npos);
}

// How many targets from `from` on the lanes take at `threshold`: those
// within reach whose reaching combinations the filter can hold.
int filteredTargets(const std::vector<DrawRecord>& draws, int from, double threshold) {
  int filtered = 0;
  for (int t = from; t <= static_cast<int>(draws.size()); ++t) {
    const ScoreTable scores =
        scoreTableOf(std::vector<DrawRecord>(draws.begin(), draws.begin() + (t - 1)));
    filtered += threshold <= maxScore(scores) &&
                reachFilter(scores, lowestSumReaching(threshold)).has_value();
  }
  return filtered;
}

// The lanes, any number of workers and the plain loop give the same tickets
// bit for bit. Thresholds below the best of the longest history leave few
// combinations within reach of the later targets: those go to the lanes. The
// lowest such threshold keeps the plain loop's share of the work small.
TEST(BacktestPaths, LanesAndWorkersChangeNothing) {
  if (!lanesSupported()) GTEST_SKIP() << "no vector lanes on this processor";
  for (std::uint32_t history = 1; history <= 6; ++history) {
    const std::vector<DrawRecord> draws =
        parseDraws(testing::realisticHistory(60 + 25 * static_cast<int>(history), history));
    BacktestRequest request;
    request.from = 30;
    request.count = 3 + static_cast<int>(history);
    request.seed = history * 2654435761u;
    const double best = maxScore(scoreTableOf({draws.begin(), draws.end() - 1}));
    int filtered = 0;
    for (double below : {0.6, 0.4, 0.2, 0.02}) {
      request.threshold = best - below;
      filtered = filteredTargets(draws, request.from, request.threshold);
      if (filtered >= 4) break;
    }
    EXPECT_GE(filtered, 4) << "history " << history << ": too few targets for the lanes";
    const auto plain = runBacktest(draws, request, how(1, SearchPath::Plain));
    const auto lanes = runBacktest(draws, request, how(1 + history % 2, SearchPath::Lanes));
    ASSERT_EQ(plain.size(), lanes.size());
    for (std::size_t t = 0; t < plain.size(); ++t) {
      ASSERT_EQ(plain[t].state, lanes[t].state) << history << " " << t;
      ASSERT_EQ(plain[t].tickets.size(), lanes[t].tickets.size());
      for (std::size_t k = 0; k < plain[t].tickets.size(); ++k) {
        const Candidate& x = plain[t].tickets[k].candidate;
        const Candidate& y = lanes[t].tickets[k].candidate;
        ASSERT_TRUE(x.numbers == y.numbers && x.bonus == y.bonus && x.score == y.score)
            << "history " << history << " target " << t << " ticket " << k;
      }
    }
  }
}

// Every combination that reaches is in the filter, the shared numbers and
// the bonuses; near the best score the filter holds little else.
TEST(BacktestPaths, ReachFilterHoldsEveryReachingCombination) {
  for (std::uint32_t history = 1; history <= 4; ++history) {
    const ScoreTable scores = scoreTableOf(
        parseDraws(testing::realisticHistory(40 * static_cast<int>(history), history)));
    const double threshold = maxScore(scores) - 0.1 * history;
    const double limit = lowestSumReaching(threshold);
    const std::optional<ReachFilter> filter = reachFilter(scores, limit);
    ASSERT_TRUE(filter) << history;
    std::int64_t reaching = 0;
    bool held = true;  // every reaching combination in the filter and its first tests
    forEveryMainSet([&](const std::array<int, 5>& n) {
      std::uint32_t chosen = 0;
      for (int x : n) chosen |= 1u << x;
      for (std::uint32_t z = 1; z <= 31; ++z) {
        if (((chosen >> z) & 1u) || sumOf(scores, n, static_cast<int>(z)) < limit) continue;
        ++reaching;
        const std::uint32_t slot = reachSlot(chosen, z);
        held = held && ((filter->words[slot >> 5] >> (slot & 31)) & 1u) &&
               (chosen & filter->shared) == filter->shared && ((filter->bonuses >> z) & 1u);
      }
    });
    EXPECT_TRUE(held) << history;
    EXPECT_EQ(reaching, countReaching(scores, threshold));
    EXPECT_GT(reaching, 0);
    int bits = 0;
    for (std::uint32_t word : filter->words) bits += __builtin_popcount(word);
    EXPECT_LE(bits, reaching);  // nothing marked that does not reach
  }
  // Everything reaches at 0: no filter, the plain loop is as quick.
  EXPECT_FALSE(reachFilter(scoreTableOf(parseDraws(testing::realisticHistory(50, 9))), 0));
}

}  // namespace
}  // namespace kestaro
