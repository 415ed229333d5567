#include <gtest/gtest.h>

#include <algorithm>

#include "expected_texts.h"
#include "result_list.h"
#include "ui_test_support.h"

namespace kestaro {
namespace {

using Cells = std::vector<std::string>;
using Menu = std::vector<bool>;  // Start, Stop, Clear, History, Distribution enabled
const Menu kIdleEmpty{true, false, false, true, true};
const Menu kSearching{false, true, false, false, false};
const Menu kIdleWithContent{true, false, true, true, true};

const Cells kSeedOneCandidate{"No. 1", "4", "14", "17", "21", "30", "29", "11.11%"};

using MainWindow = testing::MainWindowTest;
using testing::pumpUntil;

TEST_F(MainWindow, StartsIdleAndEmpty) {
  EXPECT_EQ(caption(), "Kestaro Ver 1.0");
  EXPECT_EQ(menu(), kIdleEmpty);
  for (int id : {IDM_EXIT, IDM_REGISTER, IDM_SETTINGS, IDM_HELP, IDM_VERSION}) {
    EXPECT_FALSE(grayed(id)) << id;
  }
  EXPECT_EQ(listMode(), 0);
  EXPECT_EQ(rows(), 0);
  ShowWindow(window, SW_SHOWNORMAL);  // the first WM_SIZE
  RECT client, listRect;
  GetClientRect(window, &client);
  GetWindowRect(list, &listRect);
  EXPECT_EQ(listRect.right - listRect.left, client.right);
  EXPECT_EQ(listRect.bottom - listRect.top, client.bottom);
  SetWindowPos(window, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(window, &client);
  GetWindowRect(list, &listRect);
  EXPECT_EQ(listRect.right - listRect.left, client.right);
  EXPECT_EQ(listRect.bottom - listRect.top, client.bottom);
}

// The core's texts are UTF-8; the list shows them in code page 932, as iconv
// writes them (CP932's own ～ and ① too).
TEST_F(MainWindow, ListCellsAreShownInCodePage932) {
  ASSERT_EQ(addRow(list, 0, "\u5F53\u9078\u756A\u53F7\u5C65\u6B74"), 0);
  ASSERT_TRUE(setCell(list, 0, 7, "\uFF5E\u2460"));
  EXPECT_EQ(cell(0, 0), kHistoryWords);
  EXPECT_EQ(cell(0, 7), kWaveDashAndCircledOne);
  EXPECT_EQ(cell(0, 1), "");
}

TEST_F(MainWindow, MenuFollowsTheCommands) {
  command(IDM_START);  // no draw file: the search ends at once, silently
  EXPECT_EQ(menu(), kSearching);
  EXPECT_EQ(listMode(), 0);
  command(IDM_STOP);
  EXPECT_EQ(menu(), kIdleWithContent);
  command(IDM_CLEAR);
  EXPECT_EQ(menu(), kIdleEmpty);
  command(IDM_HISTORY);
  EXPECT_EQ(menu(), kIdleWithContent);
  EXPECT_EQ(listMode(), 1);
  command(IDM_CLEAR);
  EXPECT_EQ(listMode(), 1);  // Clear leaves it
  command(IDM_DISTRIBUTION);
  EXPECT_EQ(menu(), kIdleWithContent);
  command(IDM_STOP);  // a second Stop finds nothing to release
  command(IDM_STOP);
  EXPECT_EQ(menu(), kIdleWithContent);
  EXPECT_EQ(listMode(), 0);
  command(999);
  EXPECT_EQ(menu(), kIdleWithContent);
}

TEST_F(MainWindow, HistoryAndDistributionFillTheListAndCaption) {
  history("1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n");
  command(IDM_HISTORY);
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(row(1), (Cells{"No.  2", "7", "8", "9", "10", "11", "12", ""}));
  EXPECT_EQ(caption(), kHistoryCaption);
  command(IDM_DISTRIBUTION);
  ASSERT_EQ(rows(), 31);
  EXPECT_EQ(row(0), (Cells{"No.  1", "1", "0", "0", "0", "0", "0", "50.00%"}));
  EXPECT_EQ(row(30), (Cells{"No. 31", "0", "0", "0", "0", "0", "0", "0.00%"}));
  EXPECT_EQ(caption(), kDistributionCaption);
}

TEST_F(MainWindow, MissingDrawFileLeavesTheListEmptyAndTheCaption) {
  history("1,2,3,4,5,6\r\n");
  command(IDM_DISTRIBUTION);
  DeleteFileA("LOTO.DAT");
  command(IDM_HISTORY);
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(caption(), kDistributionCaption);
}

TEST_F(MainWindow, HeaderClicksSortAndKeepLabelsInListModeOne) {
  history("9,2,3,4,5,6\r\n1,2,3,4,5,6\r\n5,2,3,4,5,6\r\n");
  command(IDM_HISTORY);
  const std::int32_t before = sortDirection(1);
  clickHeader(1);
  EXPECT_EQ(sortDirection(1), before == 1 ? 2 : 1);
  if (sortDirection(1) == 2) clickHeader(1);  // make it ascending
  EXPECT_EQ(sortDirection(1), 1);
  EXPECT_EQ(row(0), (Cells{"No.  2", "1", "2", "3", "4", "5", "6", ""}));
  EXPECT_EQ(row(2), (Cells{"No.  1", "9", "2", "3", "4", "5", "6", ""}));
  clickHeader(1);
  EXPECT_EQ(sortDirection(1), 2);
  EXPECT_EQ(cell(0, 1), "9");
  EXPECT_EQ(cell(2, 1), "1");
  command(IDM_CLEAR);
  clickHeader(1);  // an empty list: only the direction turns
  EXPECT_EQ(sortDirection(1), 1);
  EXPECT_EQ(rows(), 0);
}

TEST_F(MainWindow, SearchOfTwoCandidatesEndsWithTheNotice) {
  history(testing::kCheckHistory);
  searchSettings().pickCount = 2;
  command(IDM_START);
  ASSERT_TRUE(pumpUntil([&] { return searchEnded(); }));
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(row(0), kSeedOneCandidate);
  EXPECT_EQ(cell(1, 0), "No. 2");
  EXPECT_EQ(menu(), kIdleWithContent);
  EXPECT_EQ(listMode(), 0);
  EXPECT_EQ(hooks.waits(), (std::vector<int>{1000, 1000}));
}

// The command line's output of a program in the test's folder.
std::string commandOutput(std::string commandLine) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA("cli-out.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(out);
  return testing::readBytes("cli-out.txt");
}

// kestaro-cli's candidates for clock seeds S, S + 1, ... are the window's.
TEST_F(MainWindow, CommandLineSearchShowsTheWindowsCandidates) {
  history(testing::realisticHistory(300, 11));
  searchSettings().pickCount = 3;
  searchSettings().threshold = 1;
  hooks.seed = 1700000000;
  command(IDM_START);
  ASSERT_TRUE(pumpUntil([&] { return searchEnded(); }));
  std::string shown;
  for (int r = 0; r < 3; ++r) {
    for (int column = 0; column < 8; ++column)
      shown += cell(r, column) + (column < 7 ? "\t" : "\n");
  }
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string folder(program);
  folder.resize(folder.find_last_of("\\/") + 1);
  EXPECT_EQ(commandOutput("\"" + folder +
                          "kestaro-cli.exe\" search --seed 1700000000 --count 3 "
                          "--threshold 1"),
            shown);
}

TEST_F(MainWindow, SortAfterASearchRelabelsFromTheTop) {
  history(testing::kCheckHistory);
  searchSettings().threshold = 1;
  searchSettings().pickCount = 4;
  command(IDM_START);
  ASSERT_TRUE(pumpUntil([&] { return searchEnded(); }));
  const std::int32_t direction = sortDirection(7) == 1 ? 2 : 1;
  clickHeader(7);
  std::vector<double> averages;
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(cell(r, 0), "No. " + std::to_string(r + 1));
    averages.push_back(std::stod(cell(r, 7)));
  }
  if (direction == 1) {
    EXPECT_TRUE(std::is_sorted(averages.begin(), averages.end()));
  } else {
    EXPECT_TRUE(std::is_sorted(averages.rbegin(), averages.rend()));
  }
  searchSettings().pickCount = 2;  // lowered after the search: only two labels rewritten
  std::string third = cell(2, 0);
  clickHeader(7);
  EXPECT_EQ(cell(2, 0), third);
}

TEST_F(MainWindow, StopStillFillsTheStoppedCandidate) {
  history(testing::kCheckHistory);
  hooks.holdAtWait = 0;
  command(IDM_START);
  ASSERT_TRUE(pumpUntil([&] { return hooks.holding(); }));
  EXPECT_EQ(menu(), kSearching);
  command(IDM_STOP);
  EXPECT_EQ(menu(), kIdleWithContent);
  hooks.release();
  ASSERT_TRUE(pumpUntil([&] { return hooks.workersEnded(); }));
  ASSERT_EQ(rows(), 1);
  EXPECT_EQ(row(0), kSeedOneCandidate);
  EXPECT_EQ(menu(), kIdleWithContent);
}

TEST_F(MainWindow, CloseDuringASearchNeverWaitsForTheWorker) {
  history(testing::kCheckHistory);
  hooks.holdAtWait = 0;
  command(IDM_START);
  ASSERT_TRUE(pumpUntil([&] { return hooks.holding(); }));
  command(IDM_EXIT);
  EXPECT_FALSE(IsWindow(window));
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
  hooks.release();
  EXPECT_TRUE(pumpUntil([&] { return hooks.workersEnded(); }));
}

enum class HoldPoint { Wait, Generation, Pause };
enum class NextCommand { Start, History, Clear };

// A stopped worker held at `point` while the user moves on: nothing of it
// reaches the new content when it is let go.
void stopThenMoveOn(testing::MainWindowTest& test, HoldPoint point, NextCommand next) {
  test.history(point == HoldPoint::Pause ? testing::belowTenHistory() : testing::kCheckHistory);
  searchSettings().pickCount = 3;
  if (point == HoldPoint::Wait) test.hooks.holdAtWait = 0;
  if (point == HoldPoint::Generation) test.hooks.holdAtClock = 0;
  if (point == HoldPoint::Pause) test.hooks.holdAtWait = 2;
  test.command(IDM_START);
  ASSERT_TRUE(testing::pumpUntil([&] { return test.hooks.holding(); }));
  test.command(IDM_STOP);
  searchSettings().pickCount = 1;
  searchSettings().threshold = 1;
  test.history("1,2,3,4,5,6\r\n");
  const int nextCommand[] = {IDM_START, IDM_HISTORY, IDM_CLEAR};
  test.command(nextCommand[static_cast<int>(next)]);
  if (next == NextCommand::Start) {
    ASSERT_TRUE(testing::pumpUntil([&] { return test.searchEnded(); }));
  }
  test.hooks.release();
  ASSERT_TRUE(testing::pumpUntil([&] { return test.hooks.workersEnded(); }));
  switch (next) {
    case NextCommand::Start:
      ASSERT_EQ(test.rows(), 1);
      EXPECT_EQ(test.cell(0, 0), "No. 1");
      // The new one-draw history scores in sixths; the old search's candidate does not.
      EXPECT_NE(std::string("16.67% 33.33% 50.00% 66.67% 83.33% 100.00%").find(test.cell(0, 7)),
                std::string::npos)
          << test.cell(0, 7);
      EXPECT_EQ(test.caption(), "Kestaro Ver 1.0");
      EXPECT_EQ(test.menu(), kIdleWithContent);  // the new search's notice
      EXPECT_EQ(listMode(), 0);
      break;
    case NextCommand::History:
      ASSERT_EQ(test.rows(), 1);
      EXPECT_EQ(test.row(0), (Cells{"No.  1", "1", "2", "3", "4", "5", "6", ""}));
      EXPECT_EQ(test.caption(), kHistoryCaption);
      EXPECT_EQ(test.menu(), kIdleWithContent);
      EXPECT_EQ(listMode(), 1);
      break;
    case NextCommand::Clear:
      EXPECT_EQ(test.rows(), 0);
      EXPECT_EQ(test.caption(), "Kestaro Ver 1.0");
      EXPECT_EQ(test.menu(), kIdleEmpty);
      EXPECT_EQ(listMode(), 0);
      break;
  }
}

class StaleWorker : public testing::MainWindowTest,
                    public ::testing::WithParamInterface<std::tuple<HoldPoint, NextCommand>> {};

TEST_P(StaleWorker, ReachesNothingOfTheNewContent) {
  stopThenMoveOn(*this, std::get<0>(GetParam()), std::get<1>(GetParam()));
}

std::string holdName(const ::testing::TestParamInfo<StaleWorker::ParamType>& param) {
  const char* points[] = {"InWait", "InGeneration", "InPause"};
  const char* commands[] = {"ThenStart", "ThenHistory", "ThenClear"};
  return std::string(points[static_cast<int>(std::get<0>(param.param))]) +
         commands[static_cast<int>(std::get<1>(param.param))];
}

INSTANTIATE_TEST_SUITE_P(
    AllPoints, StaleWorker,
    ::testing::Combine(::testing::Values(HoldPoint::Wait, HoldPoint::Generation, HoldPoint::Pause),
                       ::testing::Values(NextCommand::Start, NextCommand::History,
                                         NextCommand::Clear)),
    holdName);

TEST_F(MainWindow, PauseShowsWhyInTheCaption) {
  history(testing::belowTenHistory());
  searchSettings().pickCount = 2;
  hooks.holdAtWait = 3;
  command(IDM_START);
  ASSERT_TRUE(pumpUntil([&] { return hooks.holding(); }));
  EXPECT_EQ(caption(), kOutOfReachCaption);
  EXPECT_EQ(menu(), kSearching);   // the pause is still a search
  searchSettings().threshold = 1;  // the long-shot setting
  hooks.release();
  ASSERT_TRUE(pumpUntil([&] { return searchEnded(); }));
  EXPECT_EQ(caption(), "Kestaro Ver 1.0");
  EXPECT_EQ(rows(), 2);
  EXPECT_EQ(cell(0, 7), "9.96%");
}

// A sort while the worker waits between adding its row and filling it: the
// candidate still lands whole in its own row.
TEST_F(MainWindow, SortDuringASearchKeepsEveryCandidateWhole) {
  history(testing::kCheckHistory);
  searchSettings().threshold = 1;
  searchSettings().pickCount = 3;
  hooks.holdAtWait = 2;
  command(IDM_START);
  ASSERT_TRUE(pumpUntil([&] { return hooks.holding(); }));
  if (sortDirection(7) == 1) clickHeader(7);
  clickHeader(7);  // ascending: the empty third row moves to the top
  ASSERT_EQ(itemData(0), 2);
  hooks.release();
  ASSERT_TRUE(pumpUntil([&] { return searchEnded(); }));

  // The same search in the analysis alone, by item data.
  testing::TempFolder folder;
  testing::writeBytes(folder.file("LOTO.DAT"), testing::kCheckHistory);
  std::atomic<std::int32_t> flag{0};
  SearchJob job;
  job.id = newSearchId();
  flag = job.id;
  job.stopFlag = &flag;
  job.settings = &searchSettings();
  auto expected = std::make_shared<testing::RecordingDisplay>();
  job.display = expected;
  job.drawFile = folder.file("LOTO.DAT");
  job.wait = [](int) {};
  std::int64_t seed = 1;
  job.clock = [&] { return seed++; };
  runSearch(job);
  for (int r = 0; r < 3; ++r) {
    Cells shown = row(r);
    Cells candidate = expected->row(static_cast<int>(itemData(r)));
    EXPECT_EQ(Cells(shown.begin() + 1, shown.end()), Cells(candidate.begin() + 1, candidate.end()));
  }
}

}  // namespace
}  // namespace kestaro
