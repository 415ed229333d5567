#ifndef KESTARO_UI_DROP_IMPORT_H
#define KESTARO_UI_DROP_IMPORT_H

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

// Files dropped on the main window, imported as `kestaro-cli import FILE`
// would, each reported in a message box.
namespace kestaro {

// The dropped files' paths, UTF-8; the drop is finished.
std::vector<std::string> droppedPaths(HDROP drop);

// Imports the files one after another into the draw file, each reported in
// a box owned by `owner`; a list that meets the draw file nowhere, or has a
// gap, is added only when the user says so. Files dropped while a box is open
// wait their turn behind the ones before. Once the last is done, `added` is
// called when any of them added draws.
void importDroppedFiles(HWND owner, const std::vector<std::string>& paths,
                        const std::function<void()>& added);

}  // namespace kestaro

#endif
