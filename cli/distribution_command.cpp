// kestaro-cli distribution: each number's count at each position, and how
// often it came up.
#include <algorithm>
#include <optional>
#include <vector>

#include "command_support.h"
#include "command_table.h"
#include "table_output.h"
#include "tabulation.h"

namespace kestaro {

namespace {

int distribution(const CliOptions& o) {
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  TablePrinter printer(o.format, true);
  if (o.format == OutputFormat::Text) {
    showDistribution(*draws, printer.windowTexts());
  } else {
    int number = 0;
    for (const DistributionRow& values : distributionOf(*draws)) {
      TableRow row;
      row.no = ++number;
      std::copy(values.counts.begin(), values.counts.end(), row.numbers.begin());
      row.average = values.perHundredDraws;
      printer.add(row);
    }
  }
  return printer.finish() ? kDone : outputError();
}

}  // namespace

const CommandRow& distributionCommand() {
  static const CommandRow row{"distribution",
                              "",
                              {sharedOption("--file"), sharedOption("--format")},
                              "当選番号分布を表示します\n",
                              distribution};
  return row;
}

}  // namespace kestaro
