#ifndef KESTARO_CLI_BACKTEST_RUN_H
#define KESTARO_CLI_BACKTEST_RUN_H

#include <optional>
#include <vector>

#include "backtest.h"
#include "cli_options.h"

// The backtest as both backtest and report run it.
namespace kestaro {

struct BacktestOutcome {
  BacktestRequest request;
  std::vector<TargetResult> results;
  BacktestSummary summary;
};

// The backtest the options ask for over `draws`, on the machine's threads,
// its seed named when the clock chose it and its progress shown on a
// terminal; nothing, after saying why, when its tickets would not fit.
std::optional<BacktestOutcome> runBacktestOf(const CliOptions& options,
                                             const std::vector<DrawRecord>& draws);

// kDone, or kOutOfReach after saying so when no target could be reached.
int backtestExit(const CliOptions& options, const BacktestOutcome& outcome);

}  // namespace kestaro

#endif
