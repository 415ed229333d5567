#ifndef KESTARO_REPORT_NUMBER_STRIPS_H
#define KESTARO_REPORT_NUMBER_STRIPS_H

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "draw_format.h"

// When each number came up lately, and how long since it came up at all.
namespace kestaro {

enum class Came : std::uint8_t { No, Main, Bonus };

struct NumberStrip {
  std::vector<Came> recent;  // the last draws, oldest first
  std::optional<int> gap;    // draws since it last came up; 0: in the last draw
};

// strips[n] for n = 1 to 31 over the last `span` draws (fewer when the
// history is shorter); the gaps over the whole history.
std::array<NumberStrip, kHighestNumber + 1> numberStrips(const std::vector<DrawRecord>& draws,
                                                         int span = 100);

}  // namespace kestaro

#endif
