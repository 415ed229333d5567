#ifndef KESTARO_IMPORT_IMPORT_WORDS_H
#define KESTARO_IMPORT_IMPORT_WORDS_H

#include <string>

#include "draw_check.h"
#include "import_file.h"

// The words of an import, UTF-8, lines ending in LF: both fronts show the
// same texts, the window after converting them to code page 932.
namespace kestaro {

// Why a draw offered for adding is refused, as a phrase.
std::string problemText(DrawProblem problem);

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
