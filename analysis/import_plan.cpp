#include "import_plan.h"

#include <algorithm>
#include <numeric>

namespace kestaro {

namespace {

constexpr std::size_t kMissingShown = 5;

// The draws in ascending order of their numbers, each number once.
struct Ordered {
  std::vector<DrawRecord> draws;
  std::vector<std::int32_t> numbers;
};

Ordered byNumber(const ImportedDraws& imported, std::optional<NumberConflict>& conflict) {
  std::vector<std::size_t> order(imported.draws.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    return imported.numbers[x] < imported.numbers[y];
  });
  Ordered ordered;
  std::size_t previous = 0;
  for (std::size_t index : order) {
    if (!ordered.numbers.empty() && ordered.numbers.back() == imported.numbers[index]) {
      if (!sameDraw(imported.draws[previous], imported.draws[index])) {
        conflict = NumberConflict{imported.numbers[index],
                                  std::min(imported.lines[previous], imported.lines[index]),
                                  std::max(imported.lines[previous], imported.lines[index])};
        return ordered;
      }
      continue;  // the same draw given twice
    }
    ordered.draws.push_back(imported.draws[index]);
    ordered.numbers.push_back(imported.numbers[index]);
    previous = index;
  }
  return ordered;
}

// The first numbers missing between `from` and `to` (ascending), up to the
// room left in `missing`.
void addMissing(std::int32_t from, std::int32_t to, std::vector<std::int32_t>& missing) {
  for (std::int64_t n = static_cast<std::int64_t>(from) + 1;
       n < to && missing.size() < kMissingShown; ++n) {
    missing.push_back(static_cast<std::int32_t>(n));
  }
}

// The gaps of numbers[begin..end), and one before `begin` when it follows a
// number that is there.
std::vector<std::int32_t> gapsOf(const std::vector<std::int32_t>& numbers, std::size_t begin,
                                 std::size_t end) {
  std::vector<std::int32_t> missing;
  for (std::size_t i = std::max<std::size_t>(begin, 1); i < end; ++i) {
    addMissing(numbers[i - 1], numbers[i], missing);
  }
  return missing;
}

}  // namespace

ImportPlan planImport(const std::vector<DrawRecord>& present, const ImportedDraws& imported,
                      bool force) {
  ImportPlan plan;
  Ordered ordered;
  if (imported.numbered()) {
    ordered = byNumber(imported, plan.conflict);
    if (plan.conflict) return plan;
    plan.skipped = overlapLength(present, ordered.draws);
  } else {
    ordered.draws = imported.draws;
    // Each draw keyed once, for both orders.
    const auto most = static_cast<std::ptrdiff_t>(std::min(present.size(), imported.draws.size()));
    const std::vector<DrawKey> presentEnd = keysOf(present.end() - most, present.end());
    std::vector<DrawKey> keys = keysOf(imported.draws.begin(), imported.draws.end());
    plan.skipped = overlapOfKeys(presentEnd, keys);
    std::reverse(keys.begin(), keys.end());
    const std::size_t reversedOverlap = overlapOfKeys(presentEnd, keys);
    if (reversedOverlap > plan.skipped) {
      ordered.draws.assign(imported.draws.rbegin(), imported.draws.rend());
      plan.skipped = reversedOverlap;
      plan.reversed = true;
    }
  }
  plan.disjoint = !force && !present.empty() && !ordered.draws.empty() && plan.skipped == 0;
  if (!ordered.numbers.empty()) {
    // The gap between the last draw present and the first added counts too.
    plan.missing = gapsOf(ordered.numbers, plan.skipped, ordered.numbers.size());
    plan.missingPresent = gapsOf(ordered.numbers, 1, plan.skipped);
    plan.gapRefused = !force && !plan.missing.empty();
  }
  if (!plan.refused()) {
    plan.added.assign(ordered.draws.begin() + static_cast<std::ptrdiff_t>(plan.skipped),
                      ordered.draws.end());
  }
  return plan;
}

}  // namespace kestaro
