#include <gtest/gtest.h>

#include <filesystem>

#include "ui_test_support.h"

namespace kestaro {
namespace {

// What the test does to a modal dialog once it is up: fill its fields, then
// deliver its messages one by one, noting after each whether the dialog is
// still there to receive the next.
struct DialogScript {
  DialogScript(std::function<void(HWND)> fillFields, std::vector<MSG> messages)
      : fill(std::move(fillFields)), steps(std::move(messages)) {}
  std::function<void(HWND)> fill;
  std::vector<MSG> steps;  // hwnd 0 means the dialog, else the control with that id
  std::vector<bool> openAfter;
  std::string caption;
  bool standardChecked = false, longShotChecked = false;
  std::string countText;
};

constexpr UINT WM_PROBE = WM_APP + 7;
thread_local DialogScript* script = nullptr;
thread_local WNDPROC dialogProc = nullptr;

// Posts step i and, behind it, the probe that notes whether the dialog survived it.
void deliverStep(HWND dialog, std::size_t i) {
  if (i >= script->steps.size()) return;
  const MSG& step = script->steps[i];
  HWND target = step.hwnd == nullptr
                    ? dialog
                    : GetDlgItem(dialog, static_cast<int>(reinterpret_cast<INT_PTR>(step.hwnd)));
  PostMessageA(target, step.message, step.wParam, step.lParam);
  PostMessageA(dialog, WM_PROBE, i, 0);
}

LRESULT CALLBACK probingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PROBE) {
    // Once more to the back of the queue, since the close box's IDCANCEL is
    // posted; then the next step.
    if (lParam == 0) {
      PostMessageA(dialog, WM_PROBE, wParam, 1);
    } else {
      script->openAfter[wParam] = true;
      deliverStep(dialog, wParam + 1);
    }
    return 0;
  }
  return CallWindowProcA(dialogProc, dialog, message, wParam, lParam);
}

MSG press(WPARAM id) {
  return {nullptr, WM_COMMAND, id, 0, 0, {}};
}
MSG key(int control, WPARAM virtualKey) {
  return {reinterpret_cast<HWND>(static_cast<INT_PTR>(control)), WM_KEYDOWN, virtualKey, 1, 0, {}};
}
MSG closeBox() {
  return {nullptr, WM_SYSCOMMAND, SC_CLOSE, 0, 0, {}};
}

LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && script != nullptr && dialogProc == nullptr) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    wchar_t caption[64] = L"";
    GetWindowTextW(dialog, caption, 64);
    char text[64] = "";
    WideCharToMultiByte(CP_UTF8, 0, caption, -1, text, sizeof text, nullptr, nullptr);
    script->caption = text;
    GetDlgItemTextA(dialog, IDC_FIELD_A, text, sizeof text);
    script->countText = text;
    script->standardChecked = IsDlgButtonChecked(dialog, IDC_STANDARD) == BST_CHECKED;
    script->longShotChecked = IsDlgButtonChecked(dialog, IDC_LONG_SHOT) == BST_CHECKED;
    dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(probingProc)));
    if (script->fill) script->fill(dialog);
    script->openAfter.assign(script->steps.size(), false);
    deliverStep(dialog, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Dialogs : public testing::MainWindowTest {
 public:
  // Runs the menu command with the script acting on its dialog.
  void run(int menuCommand, DialogScript& s) {
    script = &s;
    dialogProc = nullptr;
    HHOOK hook = SetWindowsHookExA(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
    command(menuCommand);
    UnhookWindowsHookEx(hook);
    script = nullptr;
    dialogProc = nullptr;
  }
  std::string drawFile() { return testing::readBytes("LOTO.DAT"); }
};

std::function<void(HWND)> fields(std::vector<std::string> texts) {
  return [texts](HWND dialog) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      SetDlgItemTextA(dialog, IDC_FIELD_A + static_cast<int>(i), texts[i].c_str());
    }
  };
}

TEST_F(Dialogs, DrawEntryAppendsTheDrawAndCloses) {
  history("1,2,3,4,5,6\r\n");
  command(IDM_HISTORY);
  const std::string before = caption();
  DialogScript s{fields({"3", "9", "14", "22", "30", "7"}), {press(IDOK), press(IDCANCEL)}};
  run(IDM_REGISTER, s);
  EXPECT_EQ(s.caption, "番号登録");
  EXPECT_EQ(s.openAfter, (std::vector<bool>{false, false}));
  EXPECT_EQ(drawFile(), "1,2,3,4,5,6\r\n3,9,14,22,30,7\r\n");
  EXPECT_EQ(rows(), 1);  // nothing is shown until the next tabulation
  EXPECT_EQ(caption(), before);
}

TEST_F(Dialogs, DrawEntryRefusesAFieldThatReadsAsZero) {
  // Full-width three, as typed with a Japanese input method.
  for (std::string bad : {"", "0", "abc", "\x82\x52"}) {
    DialogScript s{fields({"3", "9", bad, "22", "30", "7"}), {press(IDOK), press(IDCANCEL)}};
    run(IDM_REGISTER, s);
    EXPECT_EQ(s.openAfter, (std::vector<bool>{true, false})) << bad;
    EXPECT_FALSE(std::filesystem::exists("LOTO.DAT")) << bad;
  }
}

TEST_F(Dialogs, DrawEntryWritesWhatAtoiReads) {
  DialogScript s{fields({" 5", "+6", "7abc", "-5", "99", "123456789012"}), {press(IDOK)}};
  run(IDM_REGISTER, s);
  EXPECT_EQ(drawFile(), "5,6,7,-5,99,123456789\r\n");  // nine characters of a field are read
}

TEST_F(Dialogs, DrawEntryCancelEscAndCloseBoxWriteNothing) {
  for (MSG step : std::vector<MSG>{press(IDCANCEL), key(IDC_FIELD_A, VK_ESCAPE), closeBox()}) {
    DialogScript s{fields({"3", "9", "14", "22", "30", "7"}), {step, press(IDCANCEL)}};
    run(IDM_REGISTER, s);
    EXPECT_FALSE(s.openAfter[0]);
    EXPECT_FALSE(std::filesystem::exists("LOTO.DAT"));
  }
}

TEST_F(Dialogs, DrawEntryStaysOpenWhenTheFileCannotBeOpened) {
  std::filesystem::create_directory(
      "LOTO.DAT");  // CI runs as root: a read-only file proves nothing
  DialogScript s{fields({"3", "9", "14", "22", "30", "7"}), {press(IDOK), press(IDCANCEL)}};
  run(IDM_REGISTER, s);
  EXPECT_EQ(s.openAfter, (std::vector<bool>{true, false}));
  std::filesystem::remove("LOTO.DAT");
  DialogScript again{fields({"3", "9", "14", "22", "30", "7"}), {press(IDOK)}};
  run(IDM_REGISTER, again);
  EXPECT_EQ(drawFile(), "3,9,14,22,30,7\r\n");
}

TEST_F(Dialogs, SettingsShowTheCurrentValues) {
  DialogScript s{{}, {press(IDCANCEL)}};
  run(IDM_SETTINGS, s);
  EXPECT_EQ(s.caption, "検索設定");
  EXPECT_EQ(s.countText, "10");
  EXPECT_TRUE(s.standardChecked);
  EXPECT_FALSE(s.longShotChecked);
}

TEST_F(Dialogs, SettingsStoreTheCountAsTyped) {
  const std::pair<const char*, int> cases[] = {{"", 0}, {"abc", 0}, {"-5", -5}, {"123456", 12345}};
  for (auto [typed, stored] : cases) {
    DialogScript s{[&](HWND d) { SetDlgItemTextA(d, IDC_FIELD_A, typed); }, {press(IDOK)}};
    run(IDM_SETTINGS, s);
    EXPECT_EQ(searchSettings().pickCount.load(), stored) << typed;
  }
  DialogScript reopened{{}, {press(IDCANCEL)}};
  run(IDM_SETTINGS, reopened);
  EXPECT_EQ(reopened.countText, "12345");
}

TEST_F(Dialogs, SettingsSwitchTheThresholdBothWays) {
  auto choose = [](int button) {
    return [button](HWND d) { SendDlgItemMessageA(d, button, BM_CLICK, 0, 0); };
  };
  DialogScript longShot{choose(IDC_LONG_SHOT), {press(IDOK)}};
  run(IDM_SETTINGS, longShot);
  EXPECT_EQ(searchSettings().threshold.load(), 1);
  DialogScript reopened{choose(IDC_STANDARD), {press(IDOK)}};
  run(IDM_SETTINGS, reopened);
  EXPECT_TRUE(reopened.longShotChecked);
  EXPECT_EQ(searchSettings().threshold.load(), 10);
}

TEST_F(Dialogs, SettingsCancelLeavesBoth) {
  for (MSG step : std::vector<MSG>{press(IDCANCEL), key(IDC_FIELD_A, VK_ESCAPE), closeBox()}) {
    DialogScript s{[](HWND d) {
                     SetDlgItemTextA(d, IDC_FIELD_A, "3");
                     SendDlgItemMessageA(d, IDC_LONG_SHOT, BM_CLICK, 0, 0);
                   },
                   {step}};
    run(IDM_SETTINGS, s);
    EXPECT_EQ(searchSettings().pickCount.load(), 10);
    EXPECT_EQ(searchSettings().threshold.load(), 10);
  }
}

TEST_F(Dialogs, VersionBoxClosesOnlyThroughOk) {
  DialogScript s{{}, {key(IDOK, VK_ESCAPE), press(IDCANCEL), closeBox(), press(IDOK)}};
  run(IDM_VERSION, s);
  EXPECT_EQ(s.caption, "ﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(s.openAfter, (std::vector<bool>{true, true, true, false}));
}

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
  if (IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int visibleTopLevelWindows() {
  int count = 0;
  EnumWindows(countWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST_F(Dialogs, HelpWithThePageMissingOpensNothing) {
  ASSERT_FALSE(std::filesystem::exists("kestarohelp.html"));
  const int before = visibleTopLevelWindows();
  command(IDM_HELP);
  testing::pumpFor(1000);
  EXPECT_EQ(visibleTopLevelWindows(), before);
  EXPECT_TRUE(IsWindow(window));
}

}  // namespace
}  // namespace kestaro
