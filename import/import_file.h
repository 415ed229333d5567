#ifndef KESTARO_IMPORT_IMPORT_FILE_H
#define KESTARO_IMPORT_IMPORT_FILE_H

#include <optional>
#include <string>

#include "draw_file.h"
#include "import_plan.h"
#include "results_parser.h"
#include "text_decoding.h"

namespace kestaro {

// One import of a results file into a draw file, as every front asks it.
struct ImportRequest {
  std::string list;                      // the results file, a UTF-8 path
  std::string drawFile = kDrawFileName;  // a UTF-8 path
  std::optional<Columns> columns;        // given: they decide
  bool force = false;                    // add a list that meets the file nowhere, or has gaps
};

// What an import found, in the order it looked; `stop` says where it ended.
struct ImportOutcome {
  enum class Stop {
    None,            // done: `plan.added` is (or, planned, would be) stored
    ListUnreadable,  // `listRead` says why
    Undecodable,     // neither UTF-8, UTF-16 nor code page 932
    ListRefused,     // `imported.badLine`, or no draw at all
    DrawFile,        // `append` says why
    PlanRefused,     // `plan` says why
  };
  Stop stop = Stop::None;
  ReadStatus listRead = ReadStatus::Read;
  TextEncoding encoding = TextEncoding::Utf8;
  ImportedDraws imported;
  AppendOutcome append;
  ImportPlan plan;
};

// Reads the list and the draw file and says what would be added, skipped or
// refused, and why; takes no lock and writes nothing. Nothing waits on a
// user in between, so a front may ask one before it applies.
ImportOutcome planImportFile(const ImportRequest& request);

// The same, then under the writers' lock: reads the draw file again, plans
// again and appends all or nothing.
ImportOutcome applyImportFile(const ImportRequest& request);

}  // namespace kestaro

#endif
