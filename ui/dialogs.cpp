#include "dialogs.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "draw_file.h"
#include "resource_ids.h"

namespace kestaro {

namespace {

// A field's number as atoi reads the first Size - 1 characters: 9 of a draw
// field, 5 of the count.
template <std::size_t Size>
int fieldValue(HWND dialog, int id) {
  char text[Size] = {};
  GetDlgItemTextA(dialog, id, text, static_cast<int>(Size));
  return std::atoi(text);
}
constexpr std::size_t kDrawFieldBuffer = 10;
constexpr std::size_t kCountBuffer = 6;

// The six fields A to Z; nothing when one reads as 0 (fields after it are not read).
std::optional<DrawRecord> readDrawFields(HWND dialog) {
  std::int32_t values[6];
  for (int field = 0; field < 6; ++field) {
    values[field] = fieldValue<kDrawFieldBuffer>(dialog, IDC_FIELD_A + field);
    if (values[field] == 0) return std::nullopt;
  }
  return DrawRecord{values[0], values[1], values[2], values[3], values[4], values[5]};
}

// A refused OK leaves the dialog open, silently: a zero field or a draw file
// that cannot be written.
INT_PTR CALLBACK drawEntryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      if (std::optional<DrawRecord> draw = readDrawFields(dialog); draw && appendDraw(*draw)) {
        EndDialog(dialog, IDOK);
      }
      break;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
  }
  return FALSE;
}

SearchSettings& settingsOf(HWND dialog) {
  return *reinterpret_cast<SearchSettings*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void showSettings(HWND dialog, const SearchSettings& settings) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(settings.pickCount.load()));
  SetDlgItemTextA(dialog, IDC_FIELD_A, text);
  int selected = settings.threshold.load() == kStandardThreshold ? IDC_STANDARD : IDC_LONG_SHOT;
  SendDlgItemMessageA(dialog, selected, BM_SETCHECK, BST_CHECKED, 0);
}

void storeSettings(HWND dialog, SearchSettings& settings) {
  settings.pickCount = fieldValue<kCountBuffer>(dialog, IDC_FIELD_A);
  bool standard = SendDlgItemMessageA(dialog, IDC_STANDARD, BM_GETCHECK, 0, 0) == BST_CHECKED;
  settings.threshold = standard ? kStandardThreshold : kLongShotThreshold;
}

INT_PTR CALLBACK searchSettingsProc(HWND dialog, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    showSettings(dialog, settingsOf(dialog));
  } else if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    storeSettings(dialog, settingsOf(dialog));
    EndDialog(dialog, IDOK);
  } else if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  }
  return FALSE;
}

// Esc and the close box send IDCANCEL, which the version box ignores.
INT_PTR CALLBACK versionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) EndDialog(dialog, IDOK);
  return FALSE;
}

}  // namespace

void runDrawEntryDialog(HINSTANCE instance, HWND owner) {
  DialogBoxParamA(instance, "WRITELOTO", owner, drawEntryProc, 0);
}

void runSearchSettingsDialog(HINSTANCE instance, HWND owner, SearchSettings& settings) {
  DialogBoxParamA(instance, "SETCONF", owner, searchSettingsProc,
                  reinterpret_cast<LPARAM>(&settings));
}

void runVersionDialog(HINSTANCE instance, HWND owner) {
  DialogBoxParamA(instance, "VERSIONINF", owner, versionProc, 0);
}

void openHelpPage(HWND owner) {
  ShellExecuteA(owner, nullptr, kHelpPage, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace kestaro
