#include "candidate_search.h"

#include <vector>

#include "text_format.h"

namespace kestaro {

std::int32_t newSearchId() {
  static std::atomic<std::int32_t> last{0};
  return ++last;
}

namespace {

enum class PauseEnd { Stopped, Reachable, CountReached };

bool stopped(const SearchJob& job) {
  return job.stopFlag->load() != job.id;
}

// Waits while the threshold is out of reach, showing why in the caption.
// `begun` is the number of candidates begun, the current one included.
PauseEnd pause(SearchJob& job, int begun, double reachable) {
  if (stopped(job)) return PauseEnd::Stopped;
  job.display->setCaption(std::string(kBaseCaption) + kOutOfReachSuffix);
  for (;;) {
    job.wait(kPauseStepMs);
    PauseEnd end;
    if (stopped(job)) {
      end = PauseEnd::Stopped;
    } else if (job.settings->threshold.load() <= reachable) {
      end = PauseEnd::Reachable;
    } else if (job.settings->pickCount.load() <= begun) {
      end = PauseEnd::CountReached;
    } else {
      continue;
    }
    job.display->setCaption(kBaseCaption);
    return end;
  }
}

}  // namespace

void showCandidate(Display& display, int row, const Candidate& candidate) {
  for (int i = 0; i < 5; ++i) display.setCell(row, i + 1, formatNumber(candidate.numbers[i]));
  display.setCell(row, 6, formatNumber(candidate.bonus));
  display.setCell(row, 7, formatPercent(candidate.score));
}

void runSearch(SearchJob& job) {
  if (stopped(job)) return;
  std::optional<std::vector<DrawRecord>> draws = readDraws(job.drawFile.c_str());
  if (!draws) return;
  const ScoreTable scores = scoreTableOf(*draws);
  const double reachable = maxScore(scores);
  Display& display = *job.display;
  display.clearRows();
  CandidateGenerator generator(scores);
  for (int row = 0; row < job.settings->pickCount.load(); ++row) {
    if (stopped(job)) return;
    display.addRow(row, formatCandidateLabel(row + 1));
    job.wait(kCandidateWaitMs);
    generator.seed(clockSeed(job.clock));
    std::optional<Candidate> candidate;
    while (!(candidate = generator.generate(job.settings->threshold, reachable))) {
      PauseEnd end = pause(job, row + 1, reachable);
      if (end == PauseEnd::Stopped) return;
      if (end == PauseEnd::CountReached) break;
    }
    if (!candidate) break;
    showCandidate(display, row, *candidate);
  }
  // The window judges the notice again on its own thread; this check only
  // spares a stopped search the message.
  if (!stopped(job)) display.endOfSearch();
}

}  // namespace kestaro
