#include "backtest_command.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "backtest.h"
#include "backtest_summary.h"
#include "commands.h"
#include "console.h"
#include "json_output.h"
#include "text_format.h"

namespace kestaro {

namespace {

void onThreads(int workers, const std::function<void()>& work) {
  std::vector<std::thread> running;
  running.reserve(static_cast<std::size_t>(workers));
  for (int i = 0; i < workers; ++i) running.emplace_back(work);
  for (std::thread& thread : running) thread.join();
}

// Targets done of all and the time left, rewritten in place on a terminal a
// few times a second.
class ProgressLine {
 public:
  void operator()(int done, int total) {
    const auto now = std::chrono::steady_clock::now();
    if (done < total && now - shown_ < std::chrono::milliseconds(250)) return;
    shown_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double left = elapsed / done * (total - done);
    char text[120];
    std::snprintf(text, sizeof text, "\rバックテスト: %d / %d 回、残り約 %.0f 秒   ", done, total,
                  left);
    console::err(text);
    drawn_ = true;
  }
  // Leaves the terminal's line as it was.
  void clear() const {
    if (drawn_) console::err("\r" + std::string(60, ' ') + "\r");
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point shown_{};
  bool drawn_ = false;
};

Json summaryJson(const BacktestRequest& request, const CliOptions& o,
                 const BacktestSummary& summary) {
  Json value;
  value["from"] = request.from;
  value["count"] = request.count;
  value["threshold"] = o.threshold;
  value["seed"] = request.seed;
  value["targets"] = summary.targets;
  value["outOfReach"] = summary.outOfReach;
  value["invalid"] = summary.invalid;
  value["tickets"] = summary.tickets;
  value["matches"] = summary.matches;
  Json expected = Json::array();
  for (std::int64_t ways : kMatchWays) expected.push_back(expectedCount(summary.tickets, ways));
  value["expectedMatches"] = expected;
  value["tiers"] = summary.tiers;
  expected = Json::array();
  for (std::int64_t ways : kTierWays) expected.push_back(expectedCount(summary.tickets, ways));
  value["expectedTiers"] = expected;
  const auto orNull = [](const std::optional<double>& x) { return x ? Json(*x) : Json(nullptr); };
  value["meanMatches"] = orNull(summary.meanMatches);
  value["expectedMeanMatches"] = kFairMeanMatches;
  value["z"] = orNull(summary.z);
  value["p"] = orNull(summary.p);
  return value;
}

bool printSummary(const BacktestRequest& request, const CliOptions& o, int lastTarget,
                  const BacktestSummary& summary) {
  switch (o.format) {
    case OutputFormat::Json:
      return printJson(summaryJson(request, o, summary));
    case OutputFormat::Csv: {
      std::string text = "kind,index,observed,expected\n";
      char expected[40];
      for (std::size_t m = 0; m < kMatchWays.size(); ++m) {
        std::snprintf(expected, sizeof expected, "%.2f",
                      expectedCount(summary.tickets, kMatchWays[m]));
        text += "matches," + std::to_string(m) + "," + std::to_string(summary.matches[m]) + "," +
                expected + "\n";
      }
      for (std::size_t tier = 0; tier < kTierWays.size(); ++tier) {
        std::snprintf(expected, sizeof expected, "%.2f",
                      expectedCount(summary.tickets, kTierWays[tier]));
        text += "tier," + std::to_string(tier + 1) + "," + std::to_string(summary.tiers[tier]) +
                "," + expected + "\n";
      }
      return console::out(text);
    }
    case OutputFormat::Text:
      break;
  }
  return console::out(backtestSummaryText(request, o.thresholdText, lastTarget, summary));
}

// One ticket: t, k + 1, its seed, the numbers, AVG as the search shows it,
// the matches and the bonus hit.
std::string ticketRow(const BacktestRequest& request, int target, int k, const Ticket& ticket,
                      OutputFormat format) {
  const Candidate& c = ticket.candidate;
  std::string average = formatPercent(c.score);
  if (format != OutputFormat::Text) average.pop_back();  // the '%'
  const std::uint32_t seed = ticketSeed(request, target, k);
  if (format == OutputFormat::Json) {
    Json row;
    row["draw"] = target;
    row["candidate"] = k + 1;
    row["seed"] = seed;
    static const char* const kNames[] = {"A", "B", "C", "D", "E"};
    for (std::size_t i = 0; i < 5; ++i) row[kNames[i]] = c.numbers[i];
    row["Z"] = c.bonus;
    row["AVG"] = shownNumber(average);
    row["matches"] = ticket.matches;
    row["bonus"] = ticket.bonusHit ? 1 : 0;
    return jsonText(row) + "\n";
  }
  const std::string separator = format == OutputFormat::Csv ? "," : "\t";
  std::string text =
      std::to_string(target) + separator + std::to_string(k + 1) + separator + std::to_string(seed);
  for (int number : c.numbers) text += separator + std::to_string(number);
  return text + separator + std::to_string(c.bonus) + separator + average + separator +
         std::to_string(ticket.matches) + separator + (ticket.bonusHit ? "1" : "0") + "\n";
}

bool printTickets(const BacktestRequest& request, const std::vector<TargetResult>& results,
                  OutputFormat format) {
  std::string text =
      format == OutputFormat::Csv ? "draw,candidate,seed,A,B,C,D,E,Z,AVG,matches,bonus\n" : "";
  for (std::size_t i = 0; i < results.size(); ++i) {
    const int target = request.from + static_cast<int>(i);
    for (std::size_t k = 0; k < results[i].tickets.size(); ++k)
      text += ticketRow(request, target, static_cast<int>(k), results[i].tickets[k], format);
    if (text.size() >= (1u << 16)) {
      if (!console::out(text)) return false;
      text.clear();
    }
  }
  return text.empty() || console::out(text);
}

// Every ticket is kept until all targets are done: a bound keeps a mistyped
// count from exhausting the memory.
constexpr std::int64_t kMostTickets = std::int64_t{1} << 24;

bool tooManyTickets(const CliOptions& o, std::size_t draws) {
  const std::int64_t targets =
      std::max<std::int64_t>(0, static_cast<std::int64_t>(draws) - o.from + 1);
  if (targets * o.count <= kMostTickets) return false;
  console::err("券が多すぎます: " + std::to_string(targets) + " 回 × " + std::to_string(o.count) +
               " 枚。--count か --from で " + std::to_string(kMostTickets) +
               " 枚以下にしてください。\n");
  return true;
}

}  // namespace

std::optional<BacktestOutcome> runBacktestOf(const CliOptions& o,
                                             const std::vector<DrawRecord>& draws) {
  if (tooManyTickets(o, draws.size())) return std::nullopt;
  BacktestOutcome outcome;
  BacktestRequest& request = outcome.request;
  request.from = o.from;
  request.count = o.count;
  request.threshold = o.threshold;
  request.seed = o.seed ? *o.seed : static_cast<std::uint32_t>(std::time(nullptr));
  if (!o.seed)
    console::err("シード: " + std::to_string(request.seed) +
                 " (--seed で同じ結果を再現できます)\n");
  ProgressLine progress;
  BacktestRun how;
  how.workers = o.jobs.value_or(std::max(1, static_cast<int>(std::thread::hardware_concurrency())));
  how.run = onThreads;
  if (console::errIsTerminal()) how.progress = std::ref(progress);
  outcome.results = runBacktest(draws, request, how);
  progress.clear();
  outcome.summary = summarize(outcome.results, request.count);
  return outcome;
}

int backtestExit(const CliOptions& o, const BacktestOutcome& outcome) {
  if (outcome.results.empty() ||
      outcome.summary.outOfReach != static_cast<int>(outcome.results.size()))
    return kDone;
  console::err("出現率 " + o.thresholdText + "% に届く回はありません。\n");
  return kOutOfReach;
}

int backtest(const CliOptions& o) {
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  const std::optional<BacktestOutcome> outcome = runBacktestOf(o, *draws);
  if (!outcome) return kBadInput;
  const int lastTarget = static_cast<int>(draws->size());
  // Ticket rows alone would say nothing of a first draw past the last.
  if (o.tickets && outcome->results.empty())
    console::err("バックテスト: " + targetsText(outcome->request.from, lastTarget) + "\n");
  const bool written = o.tickets ? printTickets(outcome->request, outcome->results, o.format)
                                 : printSummary(outcome->request, o, lastTarget, outcome->summary);
  if (!written) return outputError();
  return backtestExit(o, *outcome);
}

}  // namespace kestaro
