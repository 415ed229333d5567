#ifndef KESTARO_ANALYSIS_DRAW_IMPORT_H
#define KESTARO_ANALYSIS_DRAW_IMPORT_H

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "draw_format.h"

namespace kestaro {

// Why a draw offered for adding is refused.
enum class DrawProblem { MissingField, NotAnInteger, OutOfRange, RepeatedMainNumber, BonusInMain };

// Nothing when the six values are integers 1 to 31, the five main numbers
// all different and the bonus different from them.
std::optional<DrawProblem> checkDraw(const DrawRecord& draw);

// "A,B,C,D,E,Z" as typed on a command line, checked.
struct ParsedDraw {
  DrawRecord draw;
  std::optional<DrawProblem> problem;
};
ParsedDraw parseDrawText(std::string_view text);

// The draws of a published results file: fields separated by commas or tabs,
// the six values taken from `columns` (1-based), blank lines skipped and a
// first line without numbers there taken as a header. The first refused line
// ends the reading.
struct ImportedDraws {
  std::vector<DrawRecord> draws;
  std::size_t badLine = 0;  // 1-based; 0 when every line was taken
  DrawProblem problem = DrawProblem::MissingField;
};
using Columns = std::array<int, 6>;
inline constexpr Columns kDefaultColumns{1, 2, 3, 4, 5, 6};
ImportedDraws parseImport(std::string_view bytes, const Columns& columns = kDefaultColumns);

// The same draw: the same bonus and the same five main numbers in any order.
bool sameDraw(const DrawRecord& x, const DrawRecord& y);

// The length of the longest run at the end of `present` that equals the
// start of `imported`; what follows it in `imported` is new.
std::size_t overlapLength(const std::vector<DrawRecord>& present,
                          const std::vector<DrawRecord>& imported);

// Which imported draws to append to `present`: those after the overlap. A
// list that shares no draw with the end of a non-empty file is refused unless
// forced, since a mistyped old draw would otherwise register it all twice.
struct ImportPlan {
  std::size_t skipped = 0;        // leading imported draws already in the file
  std::vector<DrawRecord> added;  // the draws to append, in order
  bool disjoint = false;          // refused: nothing to append
};
ImportPlan planImport(const std::vector<DrawRecord>& present,
                      const std::vector<DrawRecord>& imported, bool force);

}  // namespace kestaro

#endif
