#include "drop_import.h"

#include <deque>

#include "import_file.h"
#include "import_words.h"
#include "text_format.h"
#include "windows_text.h"

namespace kestaro {

namespace {

// The files waiting, one instance: a drop that arrives while a box runs its
// own message loop is queued here instead of importing inside the first.
struct DropQueue {
  std::deque<std::string> waiting;
  bool importing = false;
};
DropQueue queue;

int box(HWND owner, const std::string& utf8, UINT kind) {
  return MessageBoxA(owner, toCodePage932(utf8).c_str(), kBaseCaption, kind);
}

// Imports one file; true when it added draws. No lock is held while the
// user is asked: the apply plans afresh.
bool importOne(HWND owner, const std::string& path) {
  ImportRequest request{path, kDrawFileName, std::nullopt, false};
  ImportOutcome outcome = planImportFile(request);
  if (forceWouldTake(outcome)) {
    const std::string question = importRefusalText(request, outcome) + "それでも追加しますか?";
    if (box(owner, question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return false;
    request.force = true;
  } else if (outcome.stop != ImportOutcome::Stop::None) {
    box(owner, importRefusalText(request, outcome), MB_OK | MB_ICONWARNING);
    return false;
  }
  outcome = applyImportFile(request);
  if (outcome.stop != ImportOutcome::Stop::None) {
    box(owner, importRefusalText(request, outcome), MB_OK | MB_ICONWARNING);
    return false;
  }
  box(owner, importSummaryText(outcome, false) + importWarningText(outcome),
      MB_OK | MB_ICONINFORMATION);
  return !outcome.plan.added.empty();
}

}  // namespace

std::vector<std::string> droppedPaths(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(toUtf8(path));
  }
  DragFinish(drop);
  return paths;
}

void importDroppedFiles(HWND owner, const std::vector<std::string>& paths,
                        const std::function<void()>& added) {
  queue.waiting.insert(queue.waiting.end(), paths.begin(), paths.end());
  if (queue.importing) return;  // the import under way takes them in turn
  queue.importing = true;
  bool anyAdded = false;
  while (!queue.waiting.empty()) {
    const std::string path = queue.waiting.front();
    queue.waiting.pop_front();
    anyAdded = importOne(owner, path) || anyAdded;
  }
  queue.importing = false;
  if (anyAdded) added();
}

}  // namespace kestaro
