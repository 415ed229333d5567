// kestaro-cli backtest: the summary, or with --tickets one row per ticket.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "backtest.h"
#include "backtest_run.h"
#include "backtest_summary.h"
#include "command_support.h"
#include "command_table.h"
#include "console.h"
#include "json_output.h"
#include "table_output.h"
#include "text_format.h"

namespace kestaro {

namespace {

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
  const std::uint32_t seed = ticketSeed(request, target, k);
  if (format == OutputFormat::Json) {
    Json row;
    row["draw"] = target;
    row["candidate"] = k + 1;
    row["seed"] = seed;
    static const char* const kNames[] = {"A", "B", "C", "D", "E"};
    for (std::size_t i = 0; i < 5; ++i) row[kNames[i]] = c.numbers[i];
    row["Z"] = c.bonus;
    row["AVG"] = percentNumber(c.score);
    row["matches"] = ticket.matches;
    row["bonus"] = ticket.bonusHit ? 1 : 0;
    return jsonText(row) + "\n";
  }
  const std::string separator = format == OutputFormat::Csv ? "," : "\t";
  std::string text =
      std::to_string(target) + separator + std::to_string(k + 1) + separator + std::to_string(seed);
  for (int number : c.numbers) text += separator + std::to_string(number);
  const std::string average =
      format == OutputFormat::Text ? formatPercent(c.score) : percentDigits(c.score);
  return text + separator + std::to_string(c.bonus) + separator + average + separator +
         std::to_string(ticket.matches) + separator + (ticket.bonusHit ? "1" : "0") + "\n";
}

bool printTickets(const BacktestRequest& request, const std::vector<TargetResult>& results,
                  OutputFormat format) {
  BlockOutput out;
  if (format == OutputFormat::Csv) out.add("draw,candidate,seed,A,B,C,D,E,Z,AVG,matches,bonus\n");
  for (std::size_t i = 0; i < results.size(); ++i) {
    const int target = request.from + static_cast<int>(i);
    std::string text;
    for (std::size_t k = 0; k < results[i].tickets.size(); ++k)
      text += ticketRow(request, target, static_cast<int>(k), results[i].tickets[k], format);
    out.add(text);
    if (!out.written()) return false;
  }
  return out.flush();
}

std::string storeTickets(CliOptions& o, const std::string&) {
  o.tickets = true;
  return "";
}

const OptionRow kTickets{"--tickets", nullptr, nullptr, storeTickets};

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

}  // namespace

const CommandRow& backtestCommand() {
  static const CommandRow row{
      "backtest",
      "",
      {sharedOption("--from"), sharedOption("--count"), sharedOption("--threshold"),
       sharedOption("--seed"), &kTickets, sharedOption("--jobs"), sharedOption("--file"),
       sharedOption("--format")},
      "第 T 回 (既定 2) から最後の回まで、各回その前の回だけで N 枚\n"
      "(既定 10) 選び、当たりを公正な抽選の期待値と比べます\n"
      "(--tickets: 券ごとの行、--jobs: スレッドの数、既定はコアの数)\n",
      backtest};
  return row;
}

}  // namespace kestaro
