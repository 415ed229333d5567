#ifndef KESTARO_UI_UI_TEST_SUPPORT_H
#define KESTARO_UI_UI_TEST_SUPPORT_H

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "main_window.h"
#include "resource_ids.h"
#include "test_support.h"

namespace kestaro::testing {

// Dispatches messages until `done` holds; a worker's SendMessageA needs this.
inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;  // a closed test window's
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

inline void pumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  pumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

// The search's wait and clock as the test controls them: the wait returns at
// once unless the worker is to be held at a given call; the clock gives
// `seed` plus its call count.
class SearchHooks {
 public:
  int holdAtWait = -1;
  int holdAtClock = -1;
  std::uint32_t seed = 1;

  void install() {
    auto self = self_;
    setSearchServices([self](int ms) { self->hooks->onWait(ms); },
                      [self] { return self->hooks->onClock(); });
  }
  bool holding() {
    std::lock_guard<std::mutex> lock(mutex_);
    return holding_;
  }
  void release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  std::vector<int> waits() {
    std::lock_guard<std::mutex> lock(mutex_);
    return waits_;
  }
  // True once no search started with these hooks is alive: each job holds a
  // copy of them.
  bool workersEnded() const { return self_.use_count() <= 3; }

 private:
  struct Self {
    SearchHooks* hooks;
  };
  void hold(std::unique_lock<std::mutex>& lock) {
    holding_ = true;
    changed_.wait(lock, [&] { return released_; });
    holding_ = false;
  }
  void onWait(int ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    waits_.push_back(ms);
    if (static_cast<int>(waits_.size()) - 1 == holdAtWait) hold(lock);
  }
  std::int64_t onClock() {
    std::unique_lock<std::mutex> lock(mutex_);
    int call = clockCalls_++;
    if (call == holdAtClock) hold(lock);
    return static_cast<std::int64_t>(seed) + call;
  }

  std::shared_ptr<Self> self_ = std::make_shared<Self>(Self{this});
  std::mutex mutex_;
  std::condition_variable changed_;
  bool holding_ = false, released_ = false;
  std::vector<int> waits_;
  int clockCalls_ = 0;
};

// A fresh main window in a fresh working folder for every test.
class MainWindowTest : public ::testing::Test {
 public:
  void SetUp() override {
    static bool registered = registerMainWindowClass(GetModuleHandleA(nullptr));
    ASSERT_TRUE(registered);
    GetCurrentDirectoryA(MAX_PATH, previousFolder_);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.file("").c_str()));
    searchSettings().pickCount = 10;
    searchSettings().threshold = 10;
    hooks.install();
    window = createMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window, nullptr);
    list = GetDlgItem(window, IDC_RESULT_LIST);
  }
  void TearDown() override {
    hooks.release();
    if (IsWindow(window)) SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return hooks.workersEnded(); }));
    setSearchServices([](int ms) { Sleep(ms); }, systemClock);
    SetCurrentDirectoryA(previousFolder_);
  }

  void history(const std::string& bytes) { writeBytes(folder_.file("LOTO.DAT"), bytes); }
  void command(int id) { SendMessageA(window, WM_COMMAND, id, 0); }
  void clickHeader(int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = IDC_RESULT_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageA(window, WM_NOTIFY, IDC_RESULT_LIST, reinterpret_cast<LPARAM>(&click));
  }
  bool grayed(int id) { return (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
  // Every item whose state changes, 1001 Start to 1005 Distribution: true
  // where enabled.
  std::vector<bool> menu() {
    std::vector<bool> enabled;
    for (int id = IDM_START; id <= IDM_DISTRIBUTION; ++id) enabled.push_back(!grayed(id));
    return enabled;
  }
  std::string caption() {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
  }
  int rows() { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
  std::string cell(int row, int column) {
    char text[64] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }
  std::vector<std::string> row(int index) {
    std::vector<std::string> cells;
    for (int column = 0; column < 8; ++column) cells.push_back(cell(index, column));
    return cells;
  }
  LPARAM itemData(int row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
  }
  bool searchEnded() { return !grayed(IDM_START) && grayed(IDM_STOP); }

  SearchHooks hooks;
  HWND window = nullptr;
  HWND list = nullptr;

 private:
  TempFolder folder_;
  char previousFolder_[MAX_PATH] = "";
};

}  // namespace kestaro::testing

#endif
