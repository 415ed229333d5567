#include "report_command.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "backtest_command.h"
#include "commands.h"
#include "console.h"
#include "file_access.h"
#include "report_page.h"

namespace kestaro {

namespace {

// The backtest's options mean nothing without it: a silent page would hide
// the typo.
bool refusesBacktestOptions(const CliOptions& o) {
  if (o.backtest) return false;
  static const char* const kBacktestOnly[] = {"--from", "--count", "--threshold", "--seed",
                                              "--jobs"};
  for (const std::string& name : o.given) {
    if (std::find(std::begin(kBacktestOnly), std::end(kBacktestOnly), name) !=
        std::end(kBacktestOnly)) {
      console::err(name + " は --backtest と共に使います\n");
      return true;
    }
  }
  return false;
}

bool writePage(const CliOptions& o, const std::string& page) {
  if (o.out == "-") {
    if (console::outBytes(page)) return true;
    outputError();
    return false;
  }
  if (writeWholeFile(o.out, page)) return true;
  console::err(o.out + " に書き込めませんでした。\n");
  return false;
}

}  // namespace

int report(const CliOptions& o) {
  if (refusesBacktestOptions(o)) return kBadInput;
  std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  // The page in place of the history, or of its rollback record, would lose draws.
  if (o.out != "-" && namesKeptFile(o.file, o.out)) {
    console::err(
        o.out +
        " は当選番号ファイルか、その横に置くファイルです。--out に別の名前を付けてください。\n");
    return kBadInput;
  }
  ReportInput input;
  input.path = o.file;
  std::optional<BacktestOutcome> outcome;
  if (o.backtest) {
    outcome = runBacktestOf(o, *draws);
    if (!outcome) return kBadInput;
    input.backtest = ReportBacktest{outcome->request, o.thresholdText, outcome->summary};
  }
  input.draws = std::move(*draws);
  if (!writePage(o, reportPage(input))) return kFileError;
  return outcome ? backtestExit(o, *outcome) : kDone;
}

}  // namespace kestaro
