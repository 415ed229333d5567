#ifndef KESTARO_BACKTEST_BACKTEST_SUMMARY_H
#define KESTARO_BACKTEST_BACKTEST_SUMMARY_H

#include <string>

#include "backtest.h"

// The backtest's words, UTF-8, lines ending in LF, for every front.
namespace kestaro {

// Whether the picks matched more or less often than random tickets would,
// and whether the difference is within chance; one sentence and LF.
std::string backtestVerdictText(const BacktestSummary& summary);

// The whole summary, aligned: what was tested, the observed and expected
// counts per number of matches and per tier, the mean, z and p, the verdict.
// The draws tested, or that none comes from the first asked for on.
std::string targetsText(int from, int lastTarget);

// `thresholdText` is the threshold as typed; `lastTarget` the last draw.
std::string backtestSummaryText(const BacktestRequest& request, const std::string& thresholdText,
                                int lastTarget, const BacktestSummary& summary);

}  // namespace kestaro

#endif
