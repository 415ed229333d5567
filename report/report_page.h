#ifndef KESTARO_REPORT_REPORT_PAGE_H
#define KESTARO_REPORT_REPORT_PAGE_H

#include <optional>
#include <string>
#include <vector>

#include "backtest.h"
#include "draw_format.h"

// One self-contained HTML page of the history: the file at a glance, the
// distribution as a heat map against a fair draw, when each number came up,
// how high the threshold can go and, when asked, the backtest. UTF-8, inline
// SVG and CSS, nothing loaded from elsewhere.
namespace kestaro {

struct ReportBacktest {
  BacktestRequest request;
  std::string thresholdText;
  BacktestSummary summary;
};

struct ReportInput {
  std::string path;  // UTF-8, as the user named it
  std::vector<DrawRecord> draws;
  std::optional<ReportBacktest> backtest;
};

std::string reportPage(const ReportInput& input);

}  // namespace kestaro

#endif
