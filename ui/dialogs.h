#ifndef KESTARO_UI_DIALOGS_H
#define KESTARO_UI_DIALOGS_H

#include <windows.h>

#include "candidate_search.h"

// The three modal dialogs and the help page. Each runs on the UI thread and
// returns when it ends; none touches the list, the caption or the menu.
namespace kestaro {

// Registers one draw: appends it to the draw file on OK.
void runDrawEntryDialog(HINSTANCE instance, HWND owner);
// Shows and changes the search settings, both together on OK.
void runSearchSettingsDialog(HINSTANCE instance, HWND owner, SearchSettings& settings);
// Name, version and notice; only OK closes it.
void runVersionDialog(HINSTANCE instance, HWND owner);
// Hands the help page in the current folder to the shell.
void openHelpPage(HWND owner);

inline constexpr const char kHelpPage[] = "kestarohelp.html";

}  // namespace kestaro

#endif
