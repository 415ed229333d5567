// kestaro-cli best: how high a threshold can go, and how many combinations
// reach the one asked for.
#include <optional>
#include <string>
#include <vector>

#include "command_support.h"
#include "command_table.h"
#include "console.h"
#include "json_output.h"
#include "score_table.h"
#include "text_format.h"

namespace kestaro {

namespace {

int best(const CliOptions& o) {
  if (refusesCsv(o)) return kBadInput;
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  const ScoreTable scores = scoreTableOf(*draws);
  const double reachable = maxScore(scores);
  if (o.format == OutputFormat::Json) {
    Json value;
    value["best"] = formatPercent(reachable);
    value["bestExact"] = reachable;
    value["threshold"] = o.threshold;
    value["reaching"] = countReaching(scores, o.threshold);
    value["combinations"] = kCombinations;
    return printJson(value) ? kDone : outputError();
  }
  const bool written =
      console::out("最高の出現率: " + formatPercent(reachable) + " (" + formatExact(reachable) +
                   ")\n" + "出現率 " + o.thresholdText +
                   "% 以上の組合せ: " + std::to_string(countReaching(scores, o.threshold)) + " / " +
                   std::to_string(kCombinations) + "\n");
  return written ? kDone : outputError();
}

}  // namespace

const CommandRow& bestCommand() {
  static const CommandRow row{
      "best",
      "",
      {sharedOption("--threshold"), sharedOption("--file"), sharedOption("--format")},
      "到達できる最高の出現率と、P%に届く組合せの数を表示します\n",
      best};
  return row;
}

}  // namespace kestaro
