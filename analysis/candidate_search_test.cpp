#include "candidate_search.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "test_reference_search.h"
#include "test_support.h"

namespace kestaro {
namespace {

using testing::kCheckHistory;
using testing::kOutOfReachCaptionUtf8;
using testing::RecordingDisplay;
using testing::repeat;
using testing::tableOf;
using testing::TempFolder;
using testing::writeBytes;
using Cells = std::vector<std::string>;

// One search on a real thread over a real draw file. The wait and the clock
// are hooks the test acts inside; the clock gives `seed` plus the candidate's
// index.
struct SearchRun {
  TempFolder folder;
  std::atomic<std::int32_t> flag{0};
  SearchSettings settings;
  std::shared_ptr<RecordingDisplay> display = std::make_shared<RecordingDisplay>();
  std::uint32_t seed = 1;
  std::vector<int> waits;
  std::function<void(int call, int ms)> onWait = [](int, int) {};
  std::function<void()> onClock = [] {};
  int clockCalls = 0;

  explicit SearchRun(const std::string& history, int threshold = 10, int pickCount = 1) {
    writeBytes(folder.file("LOTO.DAT"), history);
    settings.threshold = threshold;
    settings.pickCount = pickCount;
  }
  SearchRun() = default;  // no draw file

  SearchJob job() {
    SearchJob job;
    job.id = newSearchId();
    flag = job.id;
    job.stopFlag = &flag;
    job.settings = &settings;
    job.display = display;
    job.drawFile = folder.file("LOTO.DAT");
    job.wait = [this](int ms) {
      waits.push_back(ms);
      onWait(static_cast<int>(waits.size()) - 1, ms);
    };
    job.clock = [this] {
      onClock();
      return static_cast<std::int64_t>(seed) + clockCalls++;
    };
    return job;
  }
  void stop() { flag = 0; }
  void run() { runOn(job()); }
  static void runOn(SearchJob job) {
    std::thread worker([job = std::move(job)]() mutable { runSearch(job); });
    worker.join();
  }
  Cells row(int index) const { return display->row(index); }
};

struct CheckValue {
  std::uint32_t seed;
  int threshold;
  Cells row;
};

TEST(CandidateSearch, CheckValuesOfTheTwentyFourDrawHistory) {
  const CheckValue values[] = {
      {1, 10, {"No. 1", "4", "14", "17", "21", "30", "29", "11.11%"}},
      {1, 1, {"No. 1", "1", "6", "18", "19", "26", "15", "7.64%"}},
      {1700000000, 10, {"No. 1", "4", "12", "15", "26", "30", "22", "11.11%"}},
      {4294967295u, 1, {"No. 1", "1", "4", "11", "29", "30", "8", "11.11%"}},
  };
  for (const CheckValue& value : values) {
    SearchRun search(kCheckHistory, value.threshold);
    search.seed = value.seed;
    search.run();
    ASSERT_EQ(search.display->rows().size(), 1u);
    EXPECT_EQ(search.row(0), value.row) << value.seed;
    EXPECT_EQ(search.display->log(), (Cells{"clear", "add 0", "notice"}));
    EXPECT_EQ(search.waits, (std::vector<int>{kCandidateWaitMs}));
  }
}

TEST(CandidateGenerator, MatchesThePlainTranscriptionBitForBit) {
  std::uint64_t attempts = 0;
  for (const std::string& history :
       {std::string(kCheckHistory), testing::realisticHistory(150, 5)}) {
    int drawCount = 0;
    FrequencyTable table = tableOf(history, &drawCount);
    ScoreTable scores = makeScoreTable(table, drawCount);
    const double reachable = maxScore(scores);
    for (int threshold : {1, 10}) {
      std::atomic<std::int32_t> live{threshold};
      if (threshold > reachable) continue;
      for (std::uint32_t seed = 0; seed < 4000000000u; seed += 9876543) {
        CandidateGenerator generator(scores);
        generator.seed(seed);
        auto fast = generator.generate(live, reachable);
        auto plain = testing::referenceCandidate(table, drawCount, seed, threshold);
        ASSERT_TRUE(fast.has_value());
        ASSERT_EQ(fast->numbers, plain.numbers) << seed;
        ASSERT_EQ(fast->bonus, plain.bonus) << seed;
        ASSERT_EQ(fast->score, plain.score) << seed;
        ASSERT_EQ(generator.attempts(), plain.attempts) << seed;
        // A command line's fixed threshold takes the same candidate.
        CandidateGenerator fixed(scores);
        fixed.seed(seed);
        auto sameCandidate = fixed.generate(static_cast<double>(threshold), reachable);
        ASSERT_TRUE(sameCandidate.has_value());
        ASSERT_EQ(sameCandidate->numbers, plain.numbers) << seed;
        ASSERT_EQ(sameCandidate->bonus, plain.bonus) << seed;
        attempts += plain.attempts;
      }
    }
  }
  EXPECT_GT(attempts, 100000u);  // long runs of rejected combinations were compared
}

// Five draws whose best combination matches three positions once each:
// 3 * (1 / 0.05) / 6 is exactly 10 in double arithmetic, a hair below in x87.
const char kTieHistory[] =
    "1,6,11,0,0,0\r\n2,7,12,0,0,0\r\n3,8,13,0,0,0\r\n4,9,14,0,0,0\r\n5,10,15,0,0,0\r\n";

TEST(CandidateSearch, ScoreEqualToTheThresholdIsAccepted) {
  int drawCount = 0;
  FrequencyTable table = tableOf(kTieHistory, &drawCount);
  ScoreTable scores = makeScoreTable(table, drawCount);
  EXPECT_EQ(maxScore(scores), 10.0);
  EXPECT_EQ(scoreOf(scores, {1, 6, 11, 20, 21}, 22), 10.0);
  SearchRun search(kTieHistory, 10);
  search.run();
  EXPECT_EQ(search.row(0)[7], "10.00%");
  EXPECT_EQ(search.display->notices(), 1);
}

TEST(CandidateSearch, SixteenDrawHistoryShowsExactTiesRoundedUp) {
  SearchRun fifteen(repeat("1,0,0,0,0,0\r\n", 15) + "2,0,0,0,0,0\r\n", 10);
  fifteen.run();
  EXPECT_EQ(fifteen.row(0)[1], "1");
  EXPECT_EQ(fifteen.row(0)[7], "15.63%");

  SearchRun three(repeat("1,0,0,0,0,0\r\n", 3) + repeat("0,0,0,0,0,0\r\n", 13), 1);
  three.run();
  EXPECT_EQ(three.row(0)[7], "3.13%");
}

TEST(CandidateSearch, LabelsCountUpToOneHundred) {
  SearchRun search(kCheckHistory, 1, 100);
  search.run();
  auto rows = search.display->rows();
  ASSERT_EQ(rows.size(), 100u);
  EXPECT_EQ(rows[8].cells[0], "No. 9");
  EXPECT_EQ(rows[9].cells[0], "No.10");
  EXPECT_EQ(rows[99].cells[0], "No.100");
  for (const auto& row : rows) {
    std::array<int, 5> n;
    for (int i = 0; i < 5; ++i) n[i] = std::stoi(row.cells[i + 1]);
    int bonus = std::stoi(row.cells[6]);
    for (int i = 0; i < 5; ++i) {
      EXPECT_TRUE(n[i] >= 1 && n[i] <= 31 && n[i] != bonus);
      if (i > 0) {
        EXPECT_LT(n[i - 1], n[i]);
      }
    }
  }
  EXPECT_EQ(search.waits.size(), 100u);
}

TEST(CandidateSearch, MissingFileShowsNothingAndSendsNoNotice) {
  SearchRun search;
  search.run();
  EXPECT_TRUE(search.display->log().empty());
}

TEST(CandidateSearch, PickCountZeroOrLessEndsAtOnceWithTheNotice) {
  for (int count : {0, -3}) {
    SearchRun search(kCheckHistory, 10, count);
    search.run();
    EXPECT_EQ(search.display->log(), (Cells{"clear", "notice"}));
  }
}

TEST(CandidateSearch, StopBeforeTheFirstCandidateDoesNothing) {
  SearchRun search(kCheckHistory, 10, 3);
  SearchJob job = search.job();
  search.stop();
  SearchRun::runOn(std::move(job));
  EXPECT_TRUE(search.display->log().empty());
}

TEST(CandidateSearch, StopDuringWaitOrGenerationStillFillsTheRow) {
  for (bool inGeneration : {false, true}) {
    SearchRun search(kCheckHistory, 10, 5);
    search.seed = 1;
    if (inGeneration) {
      search.onClock = [&] { search.stop(); };
    } else {
      search.onWait = [&](int, int) { search.stop(); };
    }
    search.run();
    ASSERT_EQ(search.display->rows().size(), 1u);
    EXPECT_EQ(search.row(0), (Cells{"No. 1", "4", "14", "17", "21", "30", "29", "11.11%"}));
    EXPECT_EQ(search.display->notices(), 0);
  }
}

TEST(CandidateSearch, NoNoticeAfterAStopDuringTheLastCandidate) {
  SearchRun search(kCheckHistory, 10, 2);
  search.onWait = [&](int call, int) {
    if (call == 1) search.stop();
  };
  search.run();
  EXPECT_EQ(search.display->rows().size(), 2u);
  EXPECT_EQ(search.display->notices(), 0);
}

TEST(CandidateSearch, PickCountChangesApplyLive) {
  SearchRun lowered(kCheckHistory, 1, 10);
  lowered.onWait = [&](int call, int) {
    if (call == 4) lowered.settings.pickCount = 3;  // during the fifth candidate
  };
  lowered.run();
  EXPECT_EQ(lowered.display->rows().size(), 5u);
  EXPECT_EQ(lowered.row(4)[0], "No. 5");
  EXPECT_FALSE(lowered.row(4)[7].empty());
  EXPECT_EQ(lowered.display->notices(), 1);

  SearchRun raised(kCheckHistory, 1, 2);
  raised.onWait = [&](int call, int) {
    if (call == 1) raised.settings.pickCount = 4;
  };
  raised.run();
  EXPECT_EQ(raised.display->rows().size(), 4u);
  EXPECT_EQ(raised.display->notices(), 1);
}

const std::string kBelowTenHistory = testing::belowTenHistory();

TEST(CandidateSearch, UnreachableThresholdPausesUntilStop) {
  SearchRun search(kBelowTenHistory, 10, 3);
  search.onWait = [&](int call, int ms) {
    if (call > 0) {
      EXPECT_LE(ms, 100);
    }
    if (call == 5) search.stop();
  };
  search.run();
  EXPECT_EQ(search.display->rows().size(), 1u);
  EXPECT_EQ(search.row(0), (Cells{"No. 1", "", "", "", "", "", "", ""}));
  EXPECT_EQ(search.display->captions(), (Cells{kOutOfReachCaptionUtf8, "Kestaro Ver 1.0"}));
  EXPECT_EQ(search.display->notices(), 0);
}

TEST(CandidateSearch, PauseEndsWhenTheThresholdComesWithinReach) {
  SearchRun direct(kBelowTenHistory, 1);
  direct.seed = 1234;
  direct.run();

  SearchRun paused(kBelowTenHistory, 10, 2);
  paused.seed = 1234;
  paused.onWait = [&](int call, int) {
    if (call == 3) paused.settings.threshold = 1;  // the long-shot setting
  };
  paused.run();
  EXPECT_EQ(paused.display->rows().size(), 2u);
  EXPECT_EQ(paused.row(0), direct.row(0));
  EXPECT_EQ(paused.row(0)[7], "9.96%");
  EXPECT_EQ(paused.display->captions(), (Cells{kOutOfReachCaptionUtf8, "Kestaro Ver 1.0"}));
  EXPECT_EQ(paused.display->notices(), 1);  // the second candidate ends the search
}

TEST(CandidateSearch, PauseEndsWithTheNoticeWhenPickCountIsReached) {
  SearchRun search(kBelowTenHistory, 10, 5);
  search.onWait = [&](int call, int) {
    if (call == 2) search.settings.pickCount = 1;
  };
  search.run();
  EXPECT_EQ(search.row(0), (Cells{"No. 1", "", "", "", "", "", "", ""}));
  EXPECT_EQ(search.display->rows().size(), 1u);
  EXPECT_EQ(search.display->captions().back(), "Kestaro Ver 1.0");
  EXPECT_EQ(search.display->notices(), 1);
}

TEST(CandidateSearch, EmptyHistoryPausesInsteadOfShowingNotANumber) {
  SearchRun search("", 1, 2);
  search.onWait = [&](int call, int) {
    if (call == 2) search.stop();
  };
  search.run();
  EXPECT_EQ(search.display->captions().front(), kOutOfReachCaptionUtf8);
  EXPECT_EQ(search.row(0)[7], "");
}

// A stopped search still finishing its candidate beside a new one writes only
// into its own channel and ends without its notice.
TEST(CandidateSearch, StaleWorkerNeverJoinsTheNextSearch) {
  SearchRun first(kCheckHistory, 10, 5);
  std::mutex mutex;
  std::condition_variable changed;
  bool held = false, released = false;
  first.onWait = [&](int, int) {
    std::unique_lock<std::mutex> lock(mutex);
    held = true;
    changed.notify_all();
    changed.wait(lock, [&] { return released; });
  };
  std::thread old([job = first.job()]() mutable { runSearch(job); });
  {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return held; });
  }
  // Stop, then Start: the shared flag now names the new search.
  SearchRun second(kCheckHistory, 10, 2);
  SearchJob next = second.job();
  next.stopFlag = &first.flag;
  first.flag = next.id;
  SearchRun::runOn(std::move(next));
  {
    std::lock_guard<std::mutex> lock(mutex);
    released = true;
  }
  changed.notify_all();
  old.join();
  EXPECT_EQ(first.display->rows().size(), 1u);
  EXPECT_EQ(first.row(0)[7], "11.11%");
  EXPECT_EQ(first.display->notices(), 0);
  EXPECT_EQ(second.display->rows().size(), 2u);
  EXPECT_EQ(second.display->notices(), 1);
}

TEST(SearchIds, NeverRepeatAndAreNeverZero) {
  std::int32_t a = newSearchId(), b = newSearchId();
  EXPECT_NE(a, 0);
  EXPECT_GT(b, a);
}

}  // namespace
}  // namespace kestaro
