#include "tabulation.h"

#include <string>

#include "frequency_table.h"
#include "text_format.h"

namespace kestaro {

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

void showDistribution(const std::vector<DrawRecord>& draws, Display& display) {
  const FrequencyTable table = frequencyTableOf(draws);
  const auto drawCount = static_cast<std::int32_t>(draws.size());
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

bool showTabulation(TabulationMode mode, Display& display, const char* path) {
  std::optional<std::vector<DrawRecord>> draws = readDraws(path);
  if (!draws) return false;
  const bool history = mode == TabulationMode::History;
  display.setCaption(std::string(kBaseCaption) + (history ? kHistorySuffix : kDistributionSuffix));
  if (history) {
    showHistory(*draws, display);
  } else {
    showDistribution(*draws, display);
  }
  return true;
}

}  // namespace kestaro
