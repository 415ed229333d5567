#ifndef KESTARO_UI_RESULT_LIST_H
#define KESTARO_UI_RESULT_LIST_H

#include <windows.h>

#include <cstdint>

// The report-style list that fills the main window: eight columns, rows added
// by position, sorted by a column on a header click. Texts given are UTF-8,
// shown in code page 932. Every function runs on the UI thread.
namespace kestaro {

HWND createResultList(HWND parent, HINSTANCE instance);
void insertColumns(HWND list);

void clearRows(HWND list);
// Inserts a row whose column 0 reads `text` and whose item data is `row`.
int addRow(HWND list, int row, const char* text);
// Sets one cell of the row now at `row`; false when there is no such row.
bool setCell(HWND list, int row, int column, const char* text);
// Sets one cell of the row added with item data `itemData`, wherever a sort
// has moved it; false when there is no such row.
bool setCellOfItem(HWND list, int itemData, int column, const char* text);
int rowCount(HWND list);

// Turns the column's direction, sorts every row by the column's value and,
// in ListMode 0, relabels the candidates from No. 1 down.
void onColumnClick(HWND list, int column, std::int32_t listMode, std::int32_t pickCount);

// For tests only: the latest sort direction of a column, kUnsorted,
// kAscending or kDescending.
std::int32_t sortDirection(int column);

}  // namespace kestaro

#endif
