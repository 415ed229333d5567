// Drives a running Kestaro as a user would, for the scripts that take
// screenshots: "send_command ID" chooses a menu command; "send_command
// long-shot COUNT" sets the search settings to COUNT candidates at the
// long-shot rate through the settings dialog.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "main_window.h"
#include "resource_ids.h"

namespace {

// The settings dialog once it is up: the dialog owned by Kestaro's window.
HWND waitForDialog(HWND owner) {
  for (int tries = 0; tries < 100; ++tries) {
    HWND dialog = nullptr;
    while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) != nullptr) {
      if (GetWindow(dialog, GW_OWNER) == owner) return dialog;
    }
    Sleep(50);
  }
  return nullptr;
}

int setLongShot(HWND window, const char* count) {
  PostMessageA(window, WM_COMMAND, IDM_SETTINGS, 0);
  HWND dialog = waitForDialog(window);
  if (dialog == nullptr) return 1;
  SetDlgItemTextA(dialog, IDC_FIELD_A, count);
  CheckRadioButton(dialog, IDC_STANDARD, IDC_LONG_SHOT, IDC_LONG_SHOT);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND window = FindWindowA(kestaro::kWindowClass, nullptr);
  if (window == nullptr) return 1;
  if (std::strcmp(argv[1], "long-shot") == 0) return argc == 3 ? setLongShot(window, argv[2]) : 2;
  return PostMessageA(window, WM_COMMAND, std::atoi(argv[1]), 0) ? 0 : 1;
}
