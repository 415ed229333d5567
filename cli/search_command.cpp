// kestaro-cli search: candidates that reach the threshold, as the window
// finds them.
#include <cstdint>
#include <optional>
#include <vector>

#include "candidate_search.h"
#include "command_support.h"
#include "command_table.h"
#include "console.h"
#include "score_table.h"
#include "table_output.h"
#include "text_format.h"

namespace kestaro {

namespace {

// Candidate k is the window's candidate for clock seed S + k.
int search(const CliOptions& o) {
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  const ScoreTable scores = scoreTableOf(*draws);
  const double reachable = maxScore(scores);
  if (o.threshold > reachable) {
    console::err("出現率 " + o.thresholdText + "% に届く組合せはありません。最高は " +
                 formatPercent(reachable) + " (" + formatExact(reachable) + ") です。\n");
    return kOutOfReach;
  }
  const std::uint32_t seed = seedOf(o);
  TablePrinter printer(o.format, true);
  CandidateGenerator generator(scores);
  for (int k = 0; k < o.count; ++k) {
    const std::uint32_t clock = seed + static_cast<std::uint32_t>(k);
    generator.seed(clock);
    const std::optional<Candidate> candidate = generator.generate(o.threshold, reachable);
    if (o.format == OutputFormat::Text) {
      printer.windowTexts().addRow(k, formatCandidateLabel(k + 1));
      showCandidate(printer.windowTexts(), k, *candidate);
    } else {
      TableRow row;
      row.no = k + 1;
      for (std::size_t i = 0; i < 5; ++i) row.numbers[i] = candidate->numbers[i];
      row.numbers[5] = candidate->bonus;
      row.average = candidate->score;
      row.seed = clock;
      printer.add(row);
    }
    // Each candidate as soon as it is found: an interrupted search keeps them.
    if (!printer.flush()) return outputError();
  }
  // The CSV header, or JSON's end, of a search for none too.
  return printer.finish() ? kDone : outputError();
}

}  // namespace

const CommandRow& searchCommand() {
  static const CommandRow row{
      "search",
      "",
      {sharedOption("--count"), sharedOption("--threshold"), sharedOption("--seed"),
       sharedOption("--file"), sharedOption("--format")},
      "出現率が P%以上の組合せを N 個探します (既定 10 個、10%)\n",
      search};
  return row;
}

}  // namespace kestaro
