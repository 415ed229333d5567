#include "main_window.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "dialogs.h"
#include "drop_import.h"
#include "tabulation.h"
#include "list_sort.h"
#include "resource_ids.h"
#include "result_list.h"
#include "text_format.h"
#include "windows_text.h"

namespace kestaro {

namespace {

// A search worker's display call, carried out on the UI thread.
constexpr UINT WM_SEARCH_CALL = WM_APP + 1;

struct SearchCall {
  enum Kind { ClearRows, AddRow, SetCell, SetCaption, EndOfSearch } kind;
  int row = 0;
  int column = 0;
  const char* text = "";
};

// The run's window state, one instance. Written and read on the UI thread
// only; the worker reaches the window through WM_SEARCH_CALL.
struct MainWindowState {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;  // stored on every message
  HWND list = nullptr;
  std::int32_t listMode = kListModeCandidates;
  std::int32_t listOwner = 0;  // the search whose calls reach the list, 0 none
  HANDLE worker = nullptr;
  Wait wait = [](int milliseconds) { Sleep(milliseconds); };
  Clock clock = systemClock;
};
MainWindowState state;

// Shared with the workers, which read them through the pointers they were
// started with; never freed. The flag holds the id of the search that may go on.
std::atomic<std::int32_t> stopFlag{0};
SearchSettings settings;

void setCaption(const std::string& utf8) {
  SetWindowTextA(state.window, toCodePage932(utf8).c_str());
}

// The display of a tabulation, on the UI thread.
class ListDisplay : public Display {
 public:
  void clearRows() override { kestaro::clearRows(state.list); }
  void addRow(int row, const std::string& text) override {
    kestaro::addRow(state.list, row, text.c_str());
  }
  void setCell(int row, int column, const std::string& text) override {
    kestaro::setCell(state.list, row, column, text.c_str());
  }
  void setCaption(const std::string& text) override { kestaro::setCaption(text); }
  void endOfSearch() override {}
};

// One search's channel: every call waits until the UI thread has judged it.
class WorkerDisplay : public Display {
 public:
  WorkerDisplay(HWND window, std::int32_t id) : window_(window), id_(id) {}
  void clearRows() override { send({SearchCall::ClearRows}); }
  void addRow(int row, const std::string& text) override {
    send({SearchCall::AddRow, row, 0, text.c_str()});
  }
  void setCell(int row, int column, const std::string& text) override {
    send({SearchCall::SetCell, row, column, text.c_str()});
  }
  void setCaption(const std::string& text) override {
    send({SearchCall::SetCaption, 0, 0, text.c_str()});
  }
  void endOfSearch() override { send({SearchCall::EndOfSearch}); }

 private:
  void send(SearchCall call) {
    SendMessageA(window_, WM_SEARCH_CALL, static_cast<WPARAM>(id_),
                 reinterpret_cast<LPARAM>(&call));
  }
  HWND window_;
  std::int32_t id_;
};

void setMenuItem(int id, bool enabled) {
  EnableMenuItem(GetMenu(state.window), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void releaseWorker() {
  if (state.worker == nullptr) return;
  CloseHandle(state.worker);
  state.worker = nullptr;
}

// Takes the list away from any search: its later calls are dropped.
void emptyList() {
  state.listOwner = 0;
  clearRows(state.list);
}

DWORD WINAPI searchThread(LPVOID parameter) noexcept {
  std::unique_ptr<SearchJob> job(static_cast<SearchJob*>(parameter));
  runSearch(*job);
  return 0;
}

// Returns the worker's handle, or null when the thread cannot start.
HANDLE startSearch(std::int32_t id) {
  auto job = std::make_unique<SearchJob>();
  job->stopFlag = &stopFlag;
  job->id = id;
  job->settings = &settings;
  job->display = std::make_shared<WorkerDisplay>(state.window, id);
  job->wait = state.wait;
  job->clock = state.clock;
  HANDLE thread = CreateThread(nullptr, 0, searchThread, job.get(), 0, nullptr);
  if (thread != nullptr) static_cast<void>(job.release());  // the worker frees it
  return thread;
}

void showTabulationCommand(TabulationMode mode) {
  state.listMode = kListModeTabulation;
  setMenuItem(IDM_CLEAR, true);
  emptyList();
  // Nothing is repainted until the whole tabulation is in.
  SendMessageA(state.list, WM_SETREDRAW, FALSE, 0);
  ListDisplay display;
  showTabulation(mode, display);
  SendMessageA(state.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(state.list, nullptr, TRUE);
}

void onStart() {
  state.listMode = kListModeCandidates;
  setCaption(kBaseCaption);
  setMenuItem(IDM_STOP, true);
  setMenuItem(IDM_START, false);
  setMenuItem(IDM_CLEAR, false);
  setMenuItem(IDM_HISTORY, false);
  // A tabulation would take the list from the running search.
  setMenuItem(IDM_DISTRIBUTION, false);
  emptyList();
  releaseWorker();
  std::int32_t id = newSearchId();
  stopFlag = id;
  state.listOwner = id;
  state.worker = startSearch(id);
}

void onStop() {
  state.listMode = kListModeCandidates;
  setMenuItem(IDM_START, true);
  setMenuItem(IDM_CLEAR, true);
  setMenuItem(IDM_HISTORY, true);
  setMenuItem(IDM_DISTRIBUTION, true);
  setMenuItem(IDM_STOP, false);
  stopFlag = 0;
  releaseWorker();
}

void onClear() {
  setMenuItem(IDM_CLEAR, false);
  emptyList();
  setCaption(kBaseCaption);
}

void onCommand(int id) {
  switch (id) {
    case IDM_EXIT:
      SendMessageA(state.window, WM_CLOSE, 0, 0);
      break;
    case IDM_START:
      onStart();
      break;
    case IDM_STOP:
      onStop();
      break;
    case IDM_CLEAR:
      onClear();
      break;
    case IDM_HISTORY:
      showTabulationCommand(TabulationMode::History);
      break;
    case IDM_DISTRIBUTION:
      showTabulationCommand(TabulationMode::Distribution);
      break;
    case IDM_REGISTER:
      runDrawEntryDialog(state.instance, state.window);
      break;
    case IDM_SETTINGS:
      runSearchSettingsDialog(state.instance, state.window, settings);
      break;
    case IDM_HELP:
      openHelpPage(state.window);
      break;
    case IDM_VERSION:
      runVersionDialog(state.instance, state.window);
      break;
  }
}

// A worker's call counts only while its search owns the list; its notice
// only while it has not been stopped either.
void onSearchCall(std::int32_t id, const SearchCall& call) {
  if (id != state.listOwner) return;
  switch (call.kind) {
    case SearchCall::ClearRows:
      clearRows(state.list);
      break;
    case SearchCall::AddRow:
      addRow(state.list, call.row, call.text);
      break;
    case SearchCall::SetCell:
      // A sort may have moved the candidate's row since it was added.
      setCellOfItem(state.list, call.row, call.column, call.text);
      break;
    case SearchCall::SetCaption:
      setCaption(call.text);
      break;
    case SearchCall::EndOfSearch:
      if (stopFlag.load() == id) onStop();
      break;
  }
}

void onCreate(HWND window) {
  InitCommonControls();
  // A results file dropped on the window is imported.
  DragAcceptFiles(window, TRUE);
  state.list = createResultList(window, state.instance);
  setMenuItem(IDM_STOP, false);
  setMenuItem(IDM_CLEAR, false);
  insertColumns(state.list);
  state.listMode = kListModeCandidates;
  state.listOwner = 0;
  state.worker = nullptr;
}

// The new draws show at the end of the History listing, unless a search
// owns the list.
void onDropFiles(HDROP drop) {
  importDroppedFiles(state.window, droppedPaths(drop), [] {
    const bool searching = stopFlag.load() != 0;  // from Start until Stop or the search's end
    if (!searching) onCommand(IDM_HISTORY);
  });
}

// The search is not waited for: it may go on, but nothing of it reaches the
// list or the window again.
void onClose() {
  stopFlag = 0;
  state.listOwner = 0;
  releaseWorker();
  DestroyWindow(state.window);
}

void onNotify(WPARAM control, const NMHDR& header) {
  if (control != IDC_RESULT_LIST || header.code != LVN_COLUMNCLICK) return;
  const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
  onColumnClick(state.list, click.iSubItem, state.listMode, settings.pickCount.load());
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  state.window = window;
  switch (message) {
    case WM_CREATE:
      onCreate(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      MoveWindow(state.list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_NOTIFY:
      onNotify(wParam, *reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam));
      return 0;
    case WM_DROPFILES:
      onDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_SEARCH_CALL:
      onSearchCall(static_cast<std::int32_t>(wParam), *reinterpret_cast<const SearchCall*>(lParam));
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool registerMainWindowClass(HINSTANCE instance) {
  state.instance = instance;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hIconSm = LoadIconA(instance, "MYICON");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = "MYMENU";
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExA(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance) {
  state.instance = instance;
  return CreateWindowExA(0, kWindowClass, kBaseCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                         nullptr);
}

int runKestaro(HINSTANCE instance, int show) {
  state.instance = instance;
  if (!registerMainWindowClass(instance)) return 0;
  HWND window = createMainWindow(instance);
  if (window == nullptr) return 0;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

SearchSettings& searchSettings() {
  return settings;
}

std::int32_t listMode() {
  return state.listMode;
}

void setSearchServices(Wait wait, Clock clock) {
  state.wait = std::move(wait);
  state.clock = std::move(clock);
}

}  // namespace kestaro
