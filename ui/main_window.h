#ifndef KESTARO_UI_MAIN_WINDOW_H
#define KESTARO_UI_MAIN_WINDOW_H

#include <windows.h>

#include <cstdint>

#include "candidate_search.h"

// The program's one top-level window: menu, command dispatch, the search
// worker and the state that lives for the whole run.
namespace kestaro {

inline constexpr const char kWindowClass[] = "kestaro";

// The entry sequence: class, window, message loop. Returns the exit code.
int runKestaro(HINSTANCE instance, int show);

bool registerMainWindowClass(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);

// The settings the dialog edits and a running search reads live.
SearchSettings& searchSettings();
// 0 while the list shows candidates, 1 while it shows a tabulation.
std::int32_t listMode();
// The wait before each candidate and the clock a search is started with;
// Sleep and the calendar clock unless a test hands in its own.
void setSearchServices(Wait wait, Clock clock);

}  // namespace kestaro

#endif
