// Under Wine: how long the History listing of 10,000 draws and a sort of it
// take in the real window, and the sort against the literal comparison (two
// linear searches and two conversions per comparison) at 2,000 rows.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "main_window.h"
#include "resource_ids.h"
#include "result_list.h"

namespace {

double seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency.QuadPart;
}

void writeHistory(int draws) {
  std::ofstream out("LOTO.DAT", std::ios::binary);
  std::srand(7);
  for (int i = 0; i < draws; ++i) {
    for (int field = 0; field < 6; ++field) {
      out << (std::rand() % 31 + 1) << (field < 5 ? "," : "\r\n");
    }
  }
}

void clickHeader(HWND window, int column) {
  NMLISTVIEW click{};
  click.hdr.idFrom = IDC_RESULT_LIST;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iSubItem = column;
  SendMessageA(window, WM_NOTIFY, IDC_RESULT_LIST, reinterpret_cast<LPARAM>(&click));
}

// The list handle the literal comparison reads, stored once as the program
// stores its own.
HWND literalList = nullptr;

// The comparison exactly as first written: find both rows by item data and
// convert their texts, at every comparison.
int CALLBACK literalCompare(LPARAM first, LPARAM second, LPARAM column) {
  HWND list = literalList;
  double values[2];
  LPARAM data[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = data[i];
    int row =
        static_cast<int>(SendMessageA(list, LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&find)));
    char text[30] = "";
    LVITEMA item{};
    item.iSubItem = static_cast<int>(column);
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    values[i] = std::atof(text);
  }
  return values[0] > values[1] ? 1 : (values[0] < values[1] ? -1 : 0);
}

struct Timings {
  double listing, sort, literalSort;
};

Timings measure(HWND window, int draws, bool literal) {
  writeHistory(draws);
  Timings t{};
  double start = seconds();
  SendMessageA(window, WM_COMMAND, IDM_HISTORY, 0);
  t.listing = seconds() - start;
  start = seconds();
  clickHeader(window, 2);
  t.sort = seconds() - start;
  if (literal) {
    SendMessageA(window, WM_COMMAND, IDM_HISTORY, 0);
    literalList = GetDlgItem(window, IDC_RESULT_LIST);
    start = seconds();
    SendMessageA(literalList, LVM_SORTITEMS, 2, reinterpret_cast<LPARAM>(literalCompare));
    t.literalSort = seconds() - start;
  }
  return t;
}

}  // namespace

int main() {
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  auto folder = std::filesystem::temp_directory_path() / "kestaro-list-benchmark";
  std::filesystem::create_directories(folder);
  SetCurrentDirectoryA(folder.string().c_str());
  HINSTANCE instance = GetModuleHandleA(nullptr);
  kestaro::registerMainWindowClass(instance);
  HWND window = kestaro::createMainWindow(instance);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  Timings large = measure(window, 10000, false);
  Timings small = measure(window, 2000, true);
  std::printf("history listing, 10,000 draws: %.3f s (target 0.5 s)\n", large.listing);
  std::printf("sort of 10,000 rows: %.1f ms (target 50 ms)\n", large.sort * 1e3);
  std::printf("sort of 2,000 rows: %.1f ms; literal comparison %.1f ms: %.0f times faster\n",
              small.sort * 1e3, small.literalSort * 1e3, small.literalSort / small.sort);
  DestroyWindow(window);
  SetCurrentDirectoryA(previous);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
