// Posts a menu command to a running Kestaro, as choosing it from the menu
// would: send_command ID. For the scripts that take screenshots.
#include <windows.h>

#include <cstdlib>

#include "main_window.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  HWND window = FindWindowA(kestaro::kWindowClass, nullptr);
  if (window == nullptr) return 1;
  return PostMessageA(window, WM_COMMAND, std::atoi(argv[1]), 0) ? 0 : 1;
}
