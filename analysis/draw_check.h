#ifndef KESTARO_ANALYSIS_DRAW_CHECK_H
#define KESTARO_ANALYSIS_DRAW_CHECK_H

#include <optional>

#include "draw_format.h"

namespace kestaro {

// Why a draw offered for adding is refused; a results file's line may also
// be too long to read.
enum class DrawProblem {
  MissingField,
  NotAnInteger,
  OutOfRange,
  RepeatedMainNumber,
  BonusInMain,
  LineTooLong,
};

// Nothing when the six values are integers 1 to 31, the five main numbers
// all different and the bonus different from them.
std::optional<DrawProblem> checkDraw(const DrawRecord& draw);

}  // namespace kestaro

#endif
