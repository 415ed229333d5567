#include "draw_check.h"

#include <array>

namespace kestaro {

std::optional<DrawProblem> checkDraw(const DrawRecord& draw) {
  const std::array<std::int32_t, 6> values{draw.A, draw.B, draw.C, draw.D, draw.E, draw.Z};
  for (std::int32_t value : values) {
    if (value < 1 || value > kHighestNumber) return DrawProblem::OutOfRange;
  }
  std::uint32_t seen = 0;
  for (int i = 0; i < 5; ++i) {
    const std::uint32_t bit = 1u << values[i];
    if (seen & bit) return DrawProblem::RepeatedMainNumber;
    seen |= bit;
  }
  if (seen & (1u << draw.Z)) return DrawProblem::BonusInMain;
  return std::nullopt;
}

}  // namespace kestaro
