#ifndef KESTARO_ANALYSIS_IMPORT_REPORT_H
#define KESTARO_ANALYSIS_IMPORT_REPORT_H

#include <string>

#include "draw_file.h"
#include "draw_import.h"
#include "import_file.h"

// The words of a report, UTF-8, lines ending in LF: both fronts show the
// same texts, the window after converting them to code page 932.
namespace kestaro {

std::string problemText(DrawProblem problem);
// "<path> を読めません", or why else it could not be read.
std::string readFailureText(const std::string& path, ReadStatus status);
// Why nothing was added to the draw file at `path`.
std::string appendFailureText(const std::string& path, const AppendOutcome& outcome);

// Why the import stopped, and that nothing was added; for any stop but None.
std::string importRefusalText(const ImportRequest& request, const ImportOutcome& outcome);
// Whether adding it all the same (forcing) would take the list.
bool forceWouldTake(const ImportOutcome& outcome);

// The counts, then the columns, where they came from, the encoding and
// whether the list was newest first; `planned` for a dry run.
std::string importSummaryText(const ImportOutcome& outcome, bool planned);
// Gaps only in the part already present, and lines passed over after the
// last draw, a warning a line; empty without any.
std::string importWarningText(const ImportOutcome& outcome);

}  // namespace kestaro

#endif
