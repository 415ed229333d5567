#include "import_file.h"

#include "cp932.h"
#include "memory_limit.h"

namespace kestaro {

namespace {

// The list read, decoded and parsed; true when it holds draws to plan with.
bool readList(const ImportRequest& request, ImportOutcome& outcome) {
  const FileBytes bytes = readFileBytes(request.list.c_str());
  outcome.listRead = bytes.status;
  if (bytes.status != ReadStatus::Read) {
    outcome.stop = ImportOutcome::Stop::ListUnreadable;
    return false;
  }
  // The decoded copy, the records and the draws may not fit beside the
  // bytes: a list too large for memory is a file error, never an abort.
  DecodedText text;
  if (!fitsInMemory([&] { text = decodeText(bytes.bytes, cp932ToUtf8); })) {
    outcome.listRead = ReadStatus::TooLarge;
    outcome.stop = ImportOutcome::Stop::ListUnreadable;
    return false;
  }
  outcome.encoding = text.encoding;
  if (!text.utf8) {
    outcome.stop = ImportOutcome::Stop::Undecodable;
    return false;
  }
  if (!fitsInMemory([&] { outcome.imported = parseImport(*text.utf8, request.columns); })) {
    outcome.listRead = ReadStatus::TooLarge;
    outcome.stop = ImportOutcome::Stop::ListUnreadable;
    return false;
  }
  if (outcome.imported.badLine != 0 || outcome.imported.draws.empty()) {
    outcome.stop = ImportOutcome::Stop::ListRefused;
    return false;
  }
  return true;
}

ImportOutcome importFile(const ImportRequest& request, bool apply) {
  ImportOutcome outcome;
  if (!readList(request, outcome)) return outcome;
  const ChooseDraws choose = [&](const std::vector<DrawRecord>& present) {
    outcome.plan = planImport(present, outcome.imported, request.force);
    return outcome.plan.added;
  };
  const char* drawFile = request.drawFile.c_str();
  outcome.append = apply ? appendDraws(choose, drawFile) : previewAppend(choose, drawFile);
  if (outcome.append.status != AppendStatus::Appended) {
    outcome.stop = ImportOutcome::Stop::DrawFile;
  } else if (outcome.plan.refused()) {
    outcome.stop = ImportOutcome::Stop::PlanRefused;
  }
  return outcome;
}

}  // namespace

ImportOutcome planImportFile(const ImportRequest& request) {
  return importFile(request, false);
}

ImportOutcome applyImportFile(const ImportRequest& request) {
  return importFile(request, true);
}

}  // namespace kestaro
