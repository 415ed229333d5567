#ifndef KESTARO_ANALYSIS_DRAW_IMPORT_H
#define KESTARO_ANALYSIS_DRAW_IMPORT_H

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

// The same draw: the same bonus and the same five main numbers in any order.
bool sameDraw(const DrawRecord& x, const DrawRecord& y);

// The length of the longest run at the end of `present` that equals the
// start of `imported`; what follows it in `imported` is new.
std::size_t overlapLength(const std::vector<DrawRecord>& present,
                          const std::vector<DrawRecord>& imported);

}  // namespace kestaro

#endif
