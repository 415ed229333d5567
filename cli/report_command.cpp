// kestaro-cli report: the history's page, written to --out (or standard
// output), with the backtest's section when --backtest asks for it.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "backtest_run.h"
#include "command_support.h"
#include "command_table.h"
#include "console.h"
#include "report_file.h"
#include "report_page.h"

namespace kestaro {

namespace {

std::string storeOut(CliOptions& o, const std::string& value) {
  if (value.empty()) return "--out はファイルの名前か - (標準出力) です";
  o.out = value;
  return "";
}

std::string storeBacktest(CliOptions& o, const std::string&) {
  o.backtest = true;
  return "";
}

const OptionRow kOut{"--out", "FILE", nullptr, storeOut};
const OptionRow kBacktest{"--backtest", nullptr, nullptr, storeBacktest};

// The backtest's options, which the page takes for its backtest section.
const std::vector<std::string> kBacktestOptions{"--from", "--count", "--threshold", "--seed",
                                                "--jobs"};

// The backtest's options mean nothing without it: a silent page would hide
// the typo.
bool refusesBacktestOptions(const CliOptions& o) {
  if (o.backtest) return false;
  for (const std::string& name : o.given) {
    if (std::find(kBacktestOptions.begin(), kBacktestOptions.end(), name) !=
        kBacktestOptions.end()) {
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
  if (writeReportPage(o.out, page)) return true;
  console::err(pageWriteFailureText(o.out) + "\n");
  return false;
}

int report(const CliOptions& o) {
  if (refusesBacktestOptions(o)) return kBadInput;
  std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  if (o.out != "-") {
    const std::string refusal = pageTargetRefusal(o.file, o.out);
    if (!refusal.empty()) {
      console::err(refusal + "--out に別の名前を付けてください。\n");
      return kBadInput;
    }
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

std::vector<const OptionRow*> reportOptions() {
  std::vector<const OptionRow*> options{&kOut, &kBacktest};
  for (const std::string& name : kBacktestOptions) options.push_back(sharedOption(name));
  options.push_back(sharedOption("--file"));
  return options;
}

}  // namespace

const CommandRow& reportCommand() {
  static const CommandRow row{"report", "", reportOptions(),
                              "履歴を 1 枚の HTML ページにします: 分布と公正な抽せんの期待値、\n"
                              "最近の出方、出現率ごとの組合せの数 (既定 kestaro-report.html、\n"
                              "-: 標準出力。--backtest: バックテストも、その --from などで)\n",
                              report};
  return row;
}

}  // namespace kestaro
