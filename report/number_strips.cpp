#include "number_strips.h"

#include <algorithm>

namespace kestaro {

namespace {

Came cameIn(const DrawRecord& draw, int number) {
  const std::array<std::int32_t, 5> main{draw.A, draw.B, draw.C, draw.D, draw.E};
  if (std::find(main.begin(), main.end(), number) != main.end()) return Came::Main;
  return draw.Z == number ? Came::Bonus : Came::No;
}

}  // namespace

std::array<NumberStrip, kHighestNumber + 1> numberStrips(const std::vector<DrawRecord>& draws,
                                                         int span) {
  std::array<NumberStrip, kHighestNumber + 1> strips;
  const std::size_t shown = std::min(draws.size(), static_cast<std::size_t>(std::max(span, 0)));
  for (std::size_t number = 1; number < strips.size(); ++number) {
    NumberStrip& strip = strips[number];
    strip.recent.reserve(shown);
    for (std::size_t i = draws.size() - shown; i < draws.size(); ++i)
      strip.recent.push_back(cameIn(draws[i], static_cast<int>(number)));
    for (std::size_t back = 0; back < draws.size(); ++back) {
      if (cameIn(draws[draws.size() - 1 - back], static_cast<int>(number)) != Came::No) {
        strip.gap = static_cast<int>(back);
        break;
      }
    }
  }
  return strips;
}

}  // namespace kestaro
