#ifndef KESTARO_ANALYSIS_DRAW_IMPORT_H
#define KESTARO_ANALYSIS_DRAW_IMPORT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

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

// "A,B,C,D,E,Z" as typed on a command line, checked.
struct ParsedDraw {
  DrawRecord draw;
  std::optional<DrawProblem> problem;
};
ParsedDraw parseDrawText(std::string_view text);

// The same draw: the same bonus and the same five main numbers in any order.
bool sameDraw(const DrawRecord& x, const DrawRecord& y);

// What makes two draws the same: the main numbers in ascending order, then
// the bonus.
using DrawKey = std::array<std::int32_t, 6>;
DrawKey keyOf(const DrawRecord& draw);
std::vector<DrawKey> keysOf(std::vector<DrawRecord>::const_iterator begin,
                            std::vector<DrawRecord>::const_iterator end);

// The length of the longest run at the end of `present` that equals the
// start of `imported`; what follows it in `imported` is new.
std::size_t overlapLength(const std::vector<DrawRecord>& present,
                          const std::vector<DrawRecord>& imported);
// The same over the draws' keys: `presentEnd` the keys of at least the last
// draws of the file that the list could overlap.
std::size_t overlapOfKeys(const std::vector<DrawKey>& presentEnd,
                          const std::vector<DrawKey>& imported);
// The longest run of the file's last draws (the end of `presentEnd`) that
// stands together anywhere in `imported`, the latest in it where two are
// as long: the index in `imported` just after the run, 0 when not even the
// last draw is there. Linear in both lengths.
std::size_t endOfLastRun(const std::vector<DrawKey>& presentEnd,
                         const std::vector<DrawKey>& imported);

}  // namespace kestaro

#endif
