// kestaro-cli history: the draws, one row each.
#include <optional>
#include <vector>

#include "command_support.h"
#include "command_table.h"
#include "frequency_table.h"
#include "table_output.h"
#include "tabulation.h"

namespace kestaro {

namespace {

int history(const CliOptions& o) {
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  TablePrinter printer(o.format, false);
  if (o.format == OutputFormat::Text) {
    showHistory(*draws, printer.windowTexts());
  } else {
    for (std::size_t i = 0; i < draws->size(); ++i) {
      const auto values = byPosition((*draws)[i]);
      TableRow row;
      row.no = static_cast<int>(i) + 1;
      for (int position = 1; position <= kPositions; ++position)
        row.numbers[position - 1] = values[position];
      printer.add(row);
    }
  }
  return printer.finish() ? kDone : outputError();
}

}  // namespace

const CommandRow& historyCommand() {
  static const CommandRow row{"history",
                              "",
                              {sharedOption("--file"), sharedOption("--format")},
                              "当選番号履歴を表示します\n",
                              history};
  return row;
}

}  // namespace kestaro
