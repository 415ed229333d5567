// Kestaro as a user meets it: the built program runs as a process of its own
// in a fresh working folder; the test chooses menu commands, fills the
// dialogs and reads the list back out of the other process.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "expected_texts.h"
#include "resource_ids.h"
#include "test_support.h"

namespace kestaro {
namespace {

// A file beside this test program, as the build puts them all in one folder.
std::string besideThis(const char* name) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::strcpy(std::strrchr(path, '\\') + 1, name);
  return path;
}

std::string programPath() {
  return besideThis("kestaro.exe");
}

std::string utf8TextOf(HWND window) {
  wchar_t text[1024] = L"";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                      &ignored);
  char utf8[4096] = "";
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

bool waitFor(const std::function<bool()>& done, DWORD timeoutMs = 15000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

struct Found {
  DWORD process;
  const char* className;
  HWND window;
};

BOOL CALLBACK findWindow(HWND window, LPARAM found) {
  auto* f = reinterpret_cast<Found*>(found);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (process == f->process && std::strcmp(className, f->className) == 0 &&
      IsWindowVisible(window)) {
    f->window = window;
    return FALSE;
  }
  return TRUE;
}

class Kestaro : public ::testing::Test {
 public:
  void start(const std::string& history) {
    testing::writeBytes(folder.file("LOTO.DAT"), history);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + programPath() + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.file("").c_str(), &startup, &process_));
    WaitForInputIdle(process_.hProcess, 10000);
    ASSERT_TRUE(waitFor([&] { return (window = topLevel("kestaro")) != nullptr; }));
    list = GetDlgItem(window, IDC_RESULT_LIST);
  }
  void TearDown() override {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  HWND topLevel(const char* className) {
    Found found{process_.dwProcessId, className, nullptr};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&found));
    return found.window;
  }
  void command(int id) { SendMessageA(window, WM_COMMAND, id, 0); }
  // A modal dialog: opened by a posted command, since a sent one returns only
  // when the dialog ends.
  HWND openDialog(int id) {
    PostMessageA(window, WM_COMMAND, id, 0);
    HWND dialog = nullptr;
    waitFor([&] { return (dialog = topLevel("#32770")) != nullptr; });
    return dialog;
  }
  bool dialogGone(HWND dialog) {
    return waitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000);
  }
  std::string caption() {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
  }
  int rows() { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
  // Reads a cell through memory in the program's own address space: list
  // messages carry pointers, which no one marshals between processes.
  std::string cell(int row, int column) {
    struct Remote {
      LVITEMA item;
      char text[64];
    };
    auto* remote = static_cast<Remote*>(
        VirtualAllocEx(process_.hProcess, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE));
    Remote local{};
    local.item.iSubItem = column;
    local.item.pszText = remote->text;
    local.item.cchTextMax = sizeof local.text;
    WriteProcessMemory(process_.hProcess, remote, &local, sizeof local, nullptr);
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&remote->item));
    ReadProcessMemory(process_.hProcess, remote, &local, sizeof local, nullptr);
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return local.text;
  }
  std::vector<std::string> row(int index) {
    std::vector<std::string> cells;
    for (int column = 0; column < 8; ++column) cells.push_back(cell(index, column));
    return cells;
  }
  // Exit, and how the process ended: its exit code, or -1 if it did not end
  // within five seconds.
  long exitNow() {
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

  testing::TempFolder folder;
  HWND window = nullptr;
  HWND list = nullptr;

 private:
  PROCESS_INFORMATION process_{};
};

TEST_F(Kestaro, RegisterTabulateSearchAndExit) {
  start("4,17,21,29,31,11\r\n14,18,20,26,30,29\r\n");
  EXPECT_EQ(caption(), "Kestaro Ver 1.0");

  HWND entry = openDialog(IDM_REGISTER);
  ASSERT_NE(entry, nullptr);
  const char* draw[] = {"1", "3", "8", "15", "20", "4"};
  for (int i = 0; i < 6; ++i) SetDlgItemTextA(entry, IDC_FIELD_A + i, draw[i]);
  PostMessageA(entry, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(dialogGone(entry));
  EXPECT_EQ(testing::readBytes(folder.file("LOTO.DAT")),
            "4,17,21,29,31,11\r\n14,18,20,26,30,29\r\n1,3,8,15,20,4\r\n");

  command(IDM_HISTORY);
  ASSERT_EQ(rows(), 3);
  EXPECT_EQ(row(2), (std::vector<std::string>{"No.  3", "1", "3", "8", "15", "20", "4", ""}));
  EXPECT_EQ(caption(), kHistoryCaption);

  command(IDM_DISTRIBUTION);
  ASSERT_EQ(rows(), 31);
  EXPECT_EQ(row(3), (std::vector<std::string>{"No.  4", "1", "0", "0", "0", "0", "1", "66.67%"}));
  EXPECT_EQ(caption(), kDistributionCaption);

  HWND settings = openDialog(IDM_SETTINGS);
  ASSERT_NE(settings, nullptr);
  SetDlgItemTextA(settings, IDC_FIELD_A, "2");
  SendDlgItemMessageA(settings, IDC_LONG_SHOT, BM_CLICK, 0, 0);
  PostMessageA(settings, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(dialogGone(settings));

  command(IDM_START);
  // Menu states cannot be read from another process under Wine: the rows tell.
  ASSERT_TRUE(waitFor([&] { return rows() == 2 && !cell(1, 7).empty(); }));
  for (int r = 0; r < 2; ++r) {
    std::vector<std::string> candidate = row(r);
    EXPECT_EQ(candidate[0], "No. " + std::to_string(r + 1));
    EXPECT_EQ(candidate[7].back(), '%');
    for (int c = 1; c < 5; ++c) EXPECT_LT(std::stoi(candidate[c]), std::stoi(candidate[c + 1]));
  }
  EXPECT_EQ(exitNow(), 0);
}

// A drop handle is valid only in the process that made it: a hook loaded
// into the program's own process makes it there, from a global atom.
TEST_F(Kestaro, ADroppedFileIsImportedReportedAndShown) {
  start("1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n");
  const std::filesystem::path listFile =
      std::filesystem::u8path(folder.file("")) / std::filesystem::u8path("\u7d50\u679c.csv");
  std::ofstream(listFile, std::ios::binary) << "A,B,C,D,E,Z\n2,11,12,21,30,28\n1,8,10,24,30,2\n";
  HMODULE library = LoadLibraryA(besideThis("drop_hook.dll").c_str());
  ASSERT_NE(library, nullptr);
  // GetProcAddress gives every procedure one type; this one is a hook's.
  HOOKPROC hookProc = nullptr;
  const FARPROC found = GetProcAddress(library, "kestaroDropHook");
  std::memcpy(&hookProc, &found, sizeof hookProc);
  ASSERT_NE(hookProc, nullptr);
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, hookProc, library,
                                 GetWindowThreadProcessId(window, nullptr));
  ASSERT_NE(hook, nullptr);
  PostMessageA(window, RegisterWindowMessageA("KestaroTestDrop"),
               GlobalAddAtomW(listFile.wstring().c_str()), 0);
  HWND box = nullptr;
  EXPECT_TRUE(waitFor([&] { return (box = topLevel("#32770")) != nullptr; }));
  UnhookWindowsHookEx(hook);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(utf8TextOf(box), "Kestaro Ver 1.0");
  EXPECT_EQ(GetWindow(box, GW_OWNER), window);
  EXPECT_EQ(utf8TextOf(GetDlgItem(box, 0xFFFF)),
            "読み込み 2 回、登録済みで省略 1 回、追加 1 回\n列 1,2,3,4,5,6 "
            "(見出しから)、文字コード UTF-8\n");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(waitFor([&] { return rows() == 3; }));
  EXPECT_EQ(row(2), (std::vector<std::string>{"No.  3", "1", "8", "10", "24", "30", "2", ""}));
  EXPECT_TRUE(waitFor([&] { return caption() == kHistoryCaption; }));
  EXPECT_EQ(testing::readBytes(folder.file("LOTO.DAT")),
            "1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n1,8,10,24,30,2\r\n");
  EXPECT_EQ(exitNow(), 0);
  FreeLibrary(library);
}

TEST_F(Kestaro, ExitDuringTheWaitEndsWithCodeZero) {
  start(testing::realisticHistory(150, 3));
  command(IDM_START);
  Sleep(300);
  EXPECT_EQ(exitNow(), 0);
}

TEST_F(Kestaro, ExitDuringGenerationEndsWithCodeZero) {
  // About 1,400 draws: the standard threshold takes millions of attempts.
  start(testing::realisticHistory(1397, 1397));
  command(IDM_START);
  Sleep(1030);
  EXPECT_EQ(exitNow(), 0);
}

TEST_F(Kestaro, ExitDuringThePauseEndsWithCodeZero) {
  start(testing::belowTenHistory());
  command(IDM_START);
  ASSERT_TRUE(waitFor([&] { return caption() == kOutOfReachCaption; }));
  EXPECT_EQ(exitNow(), 0);
}

}  // namespace
}  // namespace kestaro
