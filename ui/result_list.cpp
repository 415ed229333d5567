#include "result_list.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "list_sort.h"
#include "resource_ids.h"
#include "text_format.h"
#include "windows_text.h"

namespace kestaro {

namespace {

// The directions live for the whole run, whatever the list shows; only the
// header click writes them.
SortDirections sortState;

const char* const kTitles[kColumns] = {"NO.", "A", "B", "C", "D", "E", "Z", "AVG"};
constexpr int kColumnWidth = 50;
constexpr int kCellBuffer = 30;  // at most 29 characters of a cell are compared

std::string cellText(HWND list, int row, int column) {
  char text[kCellBuffer] = "";
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = kCellBuffer;
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

LPARAM itemData(HWND list, int row) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

// Each row's value by its item data, read once before the sort: the value of
// the first row from the top that carries the item data.
struct SortContext {
  std::vector<double> values;
  std::int32_t direction;
};

double valueOf(const SortContext& sort, LPARAM data) noexcept {
  return data >= 0 && static_cast<std::size_t>(data) < sort.values.size()
             ? sort.values[static_cast<std::size_t>(data)]
             : 0.0;
}

int CALLBACK compareItems(LPARAM first, LPARAM second, LPARAM context) noexcept {
  const auto* sort = reinterpret_cast<const SortContext*>(context);
  return compareRows(valueOf(*sort, first), valueOf(*sort, second), sort->direction);
}

}  // namespace

HWND createResultList(HWND parent, HINSTANCE instance) {
  return CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(IDC_RESULT_LIST), instance, nullptr);
}

void insertColumns(HWND list) {
  for (int column = 0; column < kColumns; ++column) {
    LVCOLUMNA record{};
    record.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    record.fmt = LVCFMT_RIGHT;
    record.cx = kColumnWidth;
    record.pszText = const_cast<char*>(kTitles[column]);
    record.iSubItem = column;
    SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&record));
  }
}

void clearRows(HWND list) {
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

int addRow(HWND list, int row, const char* text) {
  const std::string shown = toCodePage932(text);
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = row;
  item.pszText = const_cast<char*>(shown.c_str());
  item.lParam = row;
  return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool setCell(HWND list, int row, int column, const char* text) {
  const std::string shown = toCodePage932(text);
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = const_cast<char*>(shown.c_str());
  return SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool setCellOfItem(HWND list, int itemData, int column, const char* text) {
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = itemData;
  int row =
      static_cast<int>(SendMessageA(list, LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&find)));
  return row >= 0 && setCell(list, row, column, text);
}

int rowCount(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

void onColumnClick(HWND list, int column, std::int32_t listMode, std::int32_t pickCount) {
  SortContext sort{{}, sortState.toggle(column)};
  const int rows = rowCount(list);
  // Rows carry the item data 0 to rows - 1; read bottom up so that the top
  // row wins where a value repeats.
  sort.values.resize(static_cast<std::size_t>(rows));
  for (int row = rows - 1; row >= 0; --row) {
    const LPARAM data = itemData(list, row);
    if (data < 0 || data >= rows) continue;
    sort.values[static_cast<std::size_t>(data)] = cellValue(cellText(list, row, column));
  }
  SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&sort),
               reinterpret_cast<LPARAM>(compareItems));
  if (listMode != kListModeCandidates) return;
  for (int label = 1; label <= labelsToRewrite(pickCount, rows); ++label) {
    setCell(list, label - 1, 0, formatCandidateLabel(label).c_str());
  }
}

std::int32_t sortDirection(int column) {
  return sortState.direction[column];
}

}  // namespace kestaro
