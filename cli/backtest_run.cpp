#include "backtest_run.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "command_support.h"
#include "console.h"

namespace kestaro {

namespace {

void onThreads(int workers, const std::function<void()>& work) {
  std::vector<std::thread> running;
  running.reserve(static_cast<std::size_t>(workers));
  for (int i = 0; i < workers; ++i) running.emplace_back(work);
  for (std::thread& thread : running) thread.join();
}

// Targets done of all and the time left, rewritten in place on a terminal a
// few times a second.
class ProgressLine {
 public:
  void operator()(int done, int total) {
    const auto now = std::chrono::steady_clock::now();
    if (done < total && now - shown_ < std::chrono::milliseconds(250)) return;
    shown_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double left = elapsed / done * (total - done);
    char text[120];
    std::snprintf(text, sizeof text, "\rバックテスト: %d / %d 回、残り約 %.0f 秒   ", done, total,
                  left);
    console::err(text);
    drawn_ = true;
  }
  // Leaves the terminal's line as it was.
  void clear() const {
    if (drawn_) console::err("\r" + std::string(60, ' ') + "\r");
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point shown_{};
  bool drawn_ = false;
};

// Every ticket is kept until all targets are done: a bound keeps a mistyped
// count from exhausting the memory.
constexpr std::int64_t kMostTickets = std::int64_t{1} << 24;

bool tooManyTickets(const CliOptions& o, std::size_t draws) {
  const std::int64_t targets =
      std::max<std::int64_t>(0, static_cast<std::int64_t>(draws) - o.from + 1);
  if (targets * o.count <= kMostTickets) return false;
  console::err("券が多すぎます: " + std::to_string(targets) + " 回 × " + std::to_string(o.count) +
               " 枚。--count か --from で " + std::to_string(kMostTickets) +
               " 枚以下にしてください。\n");
  return true;
}

}  // namespace

std::optional<BacktestOutcome> runBacktestOf(const CliOptions& o,
                                             const std::vector<DrawRecord>& draws) {
  if (tooManyTickets(o, draws.size())) return std::nullopt;
  BacktestOutcome outcome;
  BacktestRequest& request = outcome.request;
  request.from = o.from;
  request.count = o.count;
  request.threshold = o.threshold;
  request.seed = seedOf(o);
  ProgressLine progress;
  BacktestRun how;
  how.workers = o.jobs.value_or(std::max(1, static_cast<int>(std::thread::hardware_concurrency())));
  how.run = onThreads;
  if (console::errIsTerminal()) how.progress = std::ref(progress);
  outcome.results = runBacktest(draws, request, how);
  progress.clear();
  outcome.summary = summarize(outcome.results, request.count);
  return outcome;
}

int backtestExit(const CliOptions& o, const BacktestOutcome& outcome) {
  if (outcome.results.empty() ||
      outcome.summary.outOfReach != static_cast<int>(outcome.results.size()))
    return kDone;
  console::err("出現率 " + o.thresholdText + "% に届く回はありません。\n");
  return kOutOfReach;
}

}  // namespace kestaro
