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

std::vector<DistributionRow> distributionOf(const std::vector<DrawRecord>& draws) {
  const FrequencyTable table = frequencyTableOf(draws);
  const auto drawCount = static_cast<std::int32_t>(draws.size());
  const double divisor = drawCount / 100.0;
  std::vector<DistributionRow> rows(kHighestNumber);
  for (int number = 1; number <= kHighestNumber; ++number) {
    DistributionRow& row = rows[static_cast<std::size_t>(number - 1)];
    std::int32_t total = 0;
    for (int position = 1; position <= kPositions; ++position) {
      row.counts[static_cast<std::size_t>(position - 1)] = table.counts[number][position];
      total += table.counts[number][position];
    }
    // No draw at all: 0 per hundred draws, not 0 / 0.
    row.perHundredDraws = drawCount == 0 ? 0.0 : total / divisor;
  }
  return rows;
}

void showDistribution(const std::vector<DrawRecord>& draws, Display& display) {
  int row = 0;
  for (const DistributionRow& values : distributionOf(draws)) {
    display.addRow(row, formatTabulationLabel(row + 1));
    for (int position = 1; position <= kPositions; ++position) {
      display.setCell(row, position,
                      formatNumber(values.counts[static_cast<std::size_t>(position - 1)]));
    }
    display.setCell(row, 7, formatPercent(values.perHundredDraws));
    ++row;
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
