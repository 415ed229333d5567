#ifndef KESTARO_REPORT_REPORT_FILE_H
#define KESTARO_REPORT_REPORT_FILE_H

#include <string>
#include <string_view>

// Where a report page goes and how it gets there, apart from any front, so
// that every front that writes one says and does the same. Texts are UTF-8,
// without a line end.
namespace kestaro {

// Why the page may not be written to `path`, "" when it may: the draw file
// and the files kept beside it hold the draws, which a page in their place
// would lose. Asked before the page is made, so a refusal costs nothing.
std::string pageTargetRefusal(const std::string& drawFile, const std::string& path);

// Writes the page to `path` whole, or leaves the page that was there as it
// was: never half a page in place of a user's earlier one.
bool writeReportPage(const std::string& path, std::string_view page);

// What the user is told when writeReportPage fails.
std::string pageWriteFailureText(const std::string& path);

}  // namespace kestaro

#endif
