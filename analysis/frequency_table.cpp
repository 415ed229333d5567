#include "frequency_table.h"

#include <string>

#include "text_format.h"

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

namespace {

void showHistory(const std::vector<DrawRecord>& draws, Display& display) {
  int row = 0;
  for (const DrawRecord& draw : draws) {
    display.addRow(row, formatTabulationLabel(row + 1));
    auto values = byPosition(draw);
    for (int position = 1; position <= kPositions; ++position) {
      display.setCell(row, position, formatNumber(values[position]));
    }
    ++row;
  }
}

void showDistribution(const FrequencyTable& table, std::int32_t drawCount, Display& display) {
  const double divisor = drawCount / 100.0;
  for (int number = 1; number <= kHighestNumber; ++number) {
    int row = number - 1;
    display.addRow(row, formatTabulationLabel(number));
    std::int32_t total = 0;
    for (int position = 1; position <= kPositions; ++position) {
      display.setCell(row, position, formatNumber(table.counts[number][position]));
      total += table.counts[number][position];
    }
    // No draw at all: 0 per hundred draws, not 0 / 0.
    double average = drawCount == 0 ? 0.0 : total / divisor;
    display.setCell(row, 7, formatPercent(average));
  }
}

}  // namespace

bool showTabulation(TabulationMode mode, Display& display, const char* path) {
  FrequencyTable table;
  table.reset();
  std::optional<std::vector<DrawRecord>> draws = readDraws(path);
  if (!draws) return false;
  const bool history = mode == TabulationMode::History;
  display.setCaption(std::string(kBaseCaption) + (history ? kHistorySuffix : kDistributionSuffix));
  if (history) {
    showHistory(*draws, display);
    return true;
  }
  for (const DrawRecord& draw : *draws) table.addDraw(draw);
  showDistribution(table, static_cast<std::int32_t>(draws->size()), display);
  return true;
}

}  // namespace kestaro
