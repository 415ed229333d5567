// For the end-to-end test only: loaded into Kestaro's own process by a
// message hook, it turns a registered message into a real file drop there,
// since a drop handle made in another process is not valid in this one.
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

// wParam: a global atom naming the file.
UINT dropMessage() {
  static const UINT message = RegisterWindowMessageA("KestaroTestDrop");
  return message;
}

HDROP dropOf(const std::wstring& path) {
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
  if (memory == nullptr) return nullptr;
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  path.copy(reinterpret_cast<wchar_t*>(files + 1), path.size());
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

}  // namespace

// The message, as the window is about to get it, becomes WM_DROPFILES.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    kestaroDropHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == dropMessage()) {
    wchar_t path[MAX_PATH] = L"";
    const auto atom = static_cast<ATOM>(message->wParam);
    GlobalGetAtomNameW(atom, path, MAX_PATH);
    GlobalDeleteAtom(atom);
    message->message = WM_DROPFILES;
    message->wParam = reinterpret_cast<WPARAM>(dropOf(path));
    message->lParam = 0;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
