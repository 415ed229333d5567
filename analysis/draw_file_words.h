#ifndef KESTARO_ANALYSIS_DRAW_FILE_WORDS_H
#define KESTARO_ANALYSIS_DRAW_FILE_WORDS_H

#include <string>
#include <string_view>

#include "draw_file.h"

// What the draw file's store says when it cannot read or add, UTF-8, lines
// ending in LF: both fronts show the same texts.
namespace kestaro {

inline constexpr const char kNothingAdded[] = "何も追加していません。";

// "<path> を読めません", or why else it could not be read.
std::string readFailureText(const std::string& path, ReadStatus status);
// Why nothing was added to the draw file at `path`.
std::string appendFailureText(const std::string& path, const AppendOutcome& outcome);

// A refused line as written, so the user sees which it is: its first line,
// cut after 40 characters, "…" marking what is left out.
std::string recordShown(std::string_view text);

}  // namespace kestaro

#endif
