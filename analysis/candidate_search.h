#ifndef KESTARO_ANALYSIS_CANDIDATE_SEARCH_H
#define KESTARO_ANALYSIS_CANDIDATE_SEARCH_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "candidate_generator.h"
#include "display.h"
#include "draw_file.h"

namespace kestaro {

inline constexpr std::int32_t kStandardThreshold = 10;  // percent
inline constexpr std::int32_t kLongShotThreshold = 1;
inline constexpr std::int32_t kDefaultPickCount = 10;

// Held by the main window for the whole run, written by the settings dialog
// and read live by a running search.
struct SearchSettings {
  std::atomic<std::int32_t> pickCount{kDefaultPickCount};
  std::atomic<std::int32_t> threshold{kStandardThreshold};
};

// Waits the given milliseconds; the Windows layer hands in Sleep.
using Wait = std::function<void(int milliseconds)>;

// Everything one search is started with. The worker owns it and frees it
// when it ends, so nothing it reaches goes away under it.
struct SearchJob {
  // Holds the id of the one search that may go on; 0 once stopped.
  const std::atomic<std::int32_t>* stopFlag = nullptr;
  std::int32_t id = 0;
  const SearchSettings* settings = nullptr;
  // This search's own channel to the screen and for its end-of-search notice.
  std::shared_ptr<Display> display;
  std::string drawFile = kDrawFileName;
  Wait wait;
  Clock clock = systemClock;
};

// A search id not handed out before in this process, never 0.
std::int32_t newSearchId();

inline constexpr int kCandidateWaitMs = 1000;
inline constexpr int kPauseStepMs = 100;

// Fills columns 1 to 7 of a candidate's row: the five numbers, the bonus and
// the score as "%3.2f" with "%".
void showCandidate(Display& display, int row, const Candidate& candidate);

// The body of the search worker.
void runSearch(SearchJob& job);

}  // namespace kestaro

#endif
