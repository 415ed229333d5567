#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "expected_texts.h"
#include "list_sort.h"
#include "text_format.h"
#include "ui_test_support.h"
#include "windows_text.h"

namespace kestaro {
namespace {

// A drop of these files as the shell makes one, in this process.
HDROP makeDrop(const std::vector<std::wstring>& paths) {
  std::size_t characters = 1;
  for (const std::wstring& path : paths) characters += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  auto* name = reinterpret_cast<wchar_t*>(files + 1);
  for (const std::wstring& path : paths) {
    path.copy(name, path.size());
    name += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The message boxes of a drop: what each said, its caption and owner, and
// the button the test pressed in it.
struct Box {
  std::string text, caption;
  HWND owner;
  bool earlierStillOpen;  // a box before this one was still there
};
struct BoxScript {
  // The button for each box in turn, or kEnter for the default one; IDOK
  // after them.
  std::vector<WPARAM> answers;
  std::vector<Box> boxes;
  std::vector<HWND> windows;
  std::function<void()> whileFirstIsOpen;
};
thread_local BoxScript* boxes = nullptr;
constexpr WPARAM kEnter = 0;

std::string utf8TextOf(HWND window, int control) {
  wchar_t text[2048] = L"";
  if (control == 0) {
    GetWindowTextW(window, text, 2048);
  } else {
    GetDlgItemTextW(window, control, text, 2048);
  }
  return toUtf8(text);
}

LRESULT CALLBACK answerBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && boxes != nullptr) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char name[16] = "";
    GetClassNameA(box, name, sizeof name);
    if (std::string(name) == "#32770") {
      const std::size_t index = boxes->boxes.size();
      const bool earlierOpen = std::any_of(boxes->windows.begin(), boxes->windows.end(),
                                           [](HWND earlier) { return IsWindow(earlier) != FALSE; });
      boxes->boxes.push_back(
          {utf8TextOf(box, 0xFFFF), utf8TextOf(box, 0), GetWindow(box, GW_OWNER), earlierOpen});
      boxes->windows.push_back(box);
      if (index == 0 && boxes->whileFirstIsOpen) boxes->whileFirstIsOpen();
      const WPARAM answer = index < boxes->answers.size() ? boxes->answers[index] : IDOK;
      if (answer == kEnter) {
        PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
      } else {
        PostMessageA(box, WM_COMMAND, answer, 0);
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Drop : public testing::MainWindowTest {
 public:
  // Drops the files (named in UTF-8, relative to the working folder) on the
  // window and answers its boxes.
  void drop(const std::vector<std::string>& names, BoxScript& script) {
    boxes = &script;
    HHOOK hook = SetWindowsHookExA(WH_CBT, answerBoxes, nullptr, GetCurrentThreadId());
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf(names)), 0);
    UnhookWindowsHookEx(hook);
    boxes = nullptr;
  }
  HDROP dropOf(const std::vector<std::string>& names) {
    std::vector<std::wstring> paths;
    for (const std::string& name : names) {
      paths.push_back((std::filesystem::current_path() / std::filesystem::u8path(name)).wstring());
    }
    return makeDrop(paths);
  }
  std::string drawFile() { return testing::readBytes("LOTO.DAT"); }
};

const char kTwo[] = "1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n";
const char kList[] = "A,B,C,D,E,Z\n1,3,17,20,25,26\n2,11,12,21,30,28\n1,8,10,24,30,2\n";

TEST_F(Drop, ImportsAsTheCommandLineDoesAndShowsTheHistory) {
  history(kTwo);
  // 結果.csv: any name works, whatever the code page holds.
  std::ofstream(std::filesystem::u8path("\u7d50\u679c.csv"), std::ios::binary) << kList;
  BoxScript script;
  drop({"\u7d50\u679c.csv"}, script);
  ASSERT_EQ(script.boxes.size(), 1u);
  EXPECT_EQ(script.boxes[0].text,
            "読み込み 3 回、登録済みで省略 2 回、追加 1 回\n列 1,2,3,4,5,6 "
            "(見出しから)、文字コード UTF-8\n");
  EXPECT_EQ(script.boxes[0].caption, "Kestaro Ver 1.0");
  EXPECT_EQ(script.boxes[0].owner, window);
  EXPECT_EQ(drawFile(), std::string(kTwo) + "1,8,10,24,30,2\r\n");
  // The History listing, as command 1004 shows it: the new draw at its end.
  EXPECT_EQ(rows(), 3);
  EXPECT_EQ(row(2), (std::vector<std::string>{"No.  3", "1", "8", "10", "24", "30", "2", ""}));
  EXPECT_EQ(caption(), kHistoryCaption);
  EXPECT_EQ(listMode(), kListModeTabulation);
  EXPECT_FALSE(grayed(IDM_CLEAR));
}

// A list that meets the file nowhere is added only when the user says so.
TEST_F(Drop, ADisjointListAsksAndNoIsTheDefault) {
  history(kTwo);
  testing::writeBytes("other.csv", "5,6,7,8,9,10\n");
  BoxScript no;
  no.answers = {kEnter};  // Enter: the default answer is No
  drop({"other.csv"}, no);
  ASSERT_EQ(no.boxes.size(), 1u);
  EXPECT_NE(no.boxes[0].text.find("の先頭に同じ回がありません。"), std::string::npos);
  EXPECT_NE(no.boxes[0].text.find("それでも追加しますか?"), std::string::npos);
  EXPECT_EQ(drawFile(), kTwo);
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(caption(), kBaseCaption);
  BoxScript yes;
  yes.answers = {IDYES};
  drop({"other.csv"}, yes);
  ASSERT_EQ(yes.boxes.size(), 2u);  // the question, then the report
  EXPECT_EQ(yes.boxes[1].text.substr(0, yes.boxes[1].text.find('\n')),
            "読み込み 1 回、登録済みで省略 0 回、追加 1 回");
  EXPECT_EQ(drawFile(), std::string(kTwo) + "5,6,7,8,9,10\r\n");
  EXPECT_EQ(rows(), 3);
}

// A line pasted twice is added only when the user says so, as a gap is.
TEST_F(Drop, ALinePastedTwiceAsksAndNoIsTheDefault) {
  history(kTwo);
  testing::writeBytes("twice.csv", "2,11,12,21,30,28\n1,8,10,24,30,2\n1,8,10,24,30,2\n");
  BoxScript no;
  no.answers = {kEnter};
  drop({"twice.csv"}, no);
  ASSERT_EQ(no.boxes.size(), 1u);
  EXPECT_NE(no.boxes[0].text.find("2 行目と 3 行目: 同じ当選番号 1,8,10,24,30,2 が続いています。"),
            std::string::npos);
  EXPECT_NE(no.boxes[0].text.find("それでも追加しますか?"), std::string::npos);
  EXPECT_EQ(drawFile(), kTwo);
}

// Several files in the order given, each reported; a folder is reported
// and skipped; a damaged file says where.
TEST_F(Drop, SeveralFilesInTurnEachReported) {
  history(kTwo);
  std::filesystem::create_directory("folder.csv");
  testing::writeBytes("damaged.csv", "1,3,17,20,25,x\n");
  testing::writeBytes("list.csv", kList);
  BoxScript script;
  drop({"folder.csv", "damaged.csv", "list.csv"}, script);
  ASSERT_EQ(script.boxes.size(), 3u);
  EXPECT_NE(script.boxes[0].text.find("folder.csv を読めません"), std::string::npos);
  EXPECT_NE(script.boxes[1].text.find(
                "1 行目「1,3,17,20,25,x」: 整数ではありません。何も追加していません。"),
            std::string::npos);
  EXPECT_EQ(script.boxes[2].text.substr(0, script.boxes[2].text.find('\n')),
            "読み込み 3 回、登録済みで省略 2 回、追加 1 回");
  EXPECT_EQ(rows(), 3);
}

// A drop while a box is open waits until the imports before it are done:
// dropped while the first file's question is open, the second is imported
// only after the first is added.
TEST_F(Drop, ADropDuringABoxWaitsItsTurn) {
  history("1,3,17,20,25,26\r\n");
  testing::writeBytes("first.csv", "2,11,12,21,30,28\n");
  testing::writeBytes("second.csv", "2,11,12,21,30,28\n1,8,10,24,30,2\n");
  BoxScript script;
  script.answers = {IDYES};
  script.whileFirstIsOpen = [&] {
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf({"second.csv"})), 0);
  };
  drop({"first.csv"}, script);
  ASSERT_EQ(script.boxes.size(), 3u);  // the question, the first's report, the second's
  for (const Box& box : script.boxes) EXPECT_FALSE(box.earlierStillOpen) << box.text;
  EXPECT_EQ(script.boxes[2].text.substr(0, script.boxes[2].text.find('\n')),
            "読み込み 2 回、登録済みで省略 1 回、追加 1 回");
  EXPECT_EQ(drawFile(), "1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n1,8,10,24,30,2\r\n");
}

// While a search runs, the list, the caption and the menu stay; the box
// still reports.
TEST_F(Drop, DuringASearchOnlyTheBoxReports) {
  history(testing::kCheckHistory);
  hooks.holdAtWait = 0;
  command(IDM_START);
  ASSERT_TRUE(testing::pumpUntil([&] { return hooks.holding(); }));
  testing::writeBytes("list.csv", "10,11,15,27,30,2\n1,2,3,4,5,6\n");
  BoxScript script;
  drop({"list.csv"}, script);
  ASSERT_EQ(script.boxes.size(), 1u);
  EXPECT_EQ(drawFile(), std::string(testing::kCheckHistory) + "1,2,3,4,5,6\r\n");
  EXPECT_EQ(rows(), 1);  // the candidate being sought
  EXPECT_EQ(caption(), kBaseCaption);
  EXPECT_FALSE(grayed(IDM_STOP));
  EXPECT_EQ(listMode(), kListModeCandidates);
}

TEST_F(Drop, TheWindowAcceptsDroppedFiles) {
  EXPECT_NE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
}

}  // namespace
}  // namespace kestaro
