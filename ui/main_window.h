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

// For tests only: the settings the dialog edits and a running search reads live.
SearchSettings& searchSettings();
// For tests only: kListModeCandidates or kListModeTabulation.
std::int32_t listMode();
// For tests only: the wait before each candidate and the clock a search is
// started with, instead of Sleep and the calendar clock.
void setSearchServices(Wait wait, Clock clock);

}  // namespace kestaro

#endif
