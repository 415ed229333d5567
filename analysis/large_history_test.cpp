// A history of 100,000 draws through the reader, both tabulations and a search.
#include <gtest/gtest.h>

#include <thread>

#include "candidate_search.h"
#include "frequency_table.h"
#include "tabulation.h"
#include "test_support.h"

namespace kestaro {
namespace {

constexpr int kDraws = 100000;

class LargeHistory : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    folder = new testing::TempFolder;
    testing::writeBytes(path(), testing::realisticHistory(kDraws, 42));
  }
  static void TearDownTestSuite() { delete folder; }
  static std::string path() { return folder->file("LOTO.DAT"); }
  static testing::TempFolder* folder;
};
testing::TempFolder* LargeHistory::folder = nullptr;

TEST_F(LargeHistory, ReaderKeepsEveryDraw) {
  auto draws = readDraws(path().c_str());
  ASSERT_TRUE(draws.has_value());
  ASSERT_EQ(draws->size(), static_cast<std::size_t>(kDraws));
  for (const DrawRecord& d : *draws) {
    ASSERT_TRUE(d.A < d.B && d.B < d.C && d.C < d.D && d.D < d.E);
  }
}

TEST_F(LargeHistory, HistoryListsEveryDraw) {
  testing::RecordingDisplay display;
  showTabulation(TabulationMode::History, display, path().c_str());
  auto rows = display.rows();
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kDraws));
  EXPECT_EQ(rows.back().cells[0], "No.100000");
}

TEST_F(LargeHistory, DistributionColumnsAddUpToTheDrawCount) {
  testing::RecordingDisplay display;
  showTabulation(TabulationMode::Distribution, display, path().c_str());
  auto rows = display.rows();
  ASSERT_EQ(rows.size(), 31u);
  for (int column = 1; column <= 6; ++column) {
    long sum = 0;
    for (const auto& row : rows) sum += std::stol(row.cells[column]);
    EXPECT_EQ(sum, kDraws) << column;
  }
}

TEST_F(LargeHistory, SearchFindsALongShotCandidate) {
  std::atomic<std::int32_t> flag{0};
  SearchSettings settings;
  settings.pickCount = 2;
  settings.threshold = 1;
  SearchJob job;
  job.id = newSearchId();
  flag = job.id;
  job.stopFlag = &flag;
  job.settings = &settings;
  auto display = std::make_shared<testing::RecordingDisplay>();
  job.display = display;
  job.drawFile = path();
  job.wait = [](int) {};
  std::thread worker([&] { runSearch(job); });
  worker.join();
  auto rows = display->rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].cells[7].back(), '%');
  EXPECT_EQ(display->notices(), 1);
}

}  // namespace
}  // namespace kestaro
