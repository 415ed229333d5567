#include "frequency_table.h"

namespace kestaro {

void FrequencyTable::reset() {
  for (auto& row : counts) row.fill(0);
}

std::array<std::int32_t, kPositions + 1> byPosition(const DrawRecord& draw) {
  return {0, draw.A, draw.B, draw.C, draw.D, draw.E, draw.Z};
}

void FrequencyTable::addDraw(const DrawRecord& draw) {
  auto values = byPosition(draw);
  for (int position = 1; position <= kPositions; ++position) {
    std::int32_t value = values[position];
    if (value >= 0 && value <= kHighestNumber) ++counts[value][position];
  }
}

FrequencyTable frequencyTableOf(const std::vector<DrawRecord>& draws) {
  FrequencyTable table;
  table.reset();
  for (const DrawRecord& draw : draws) table.addDraw(draw);
  return table;
}

}  // namespace kestaro
