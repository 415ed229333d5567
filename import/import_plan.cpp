#include "import_plan.h"

#include <algorithm>
#include <numeric>

#include "overlap.h"

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

// The numbered draws already in the file: those the end of the file
// overlaps; where it overlaps none, those up to the end of the longest run
// of its last draws in the list.
std::size_t numberedSkip(const std::vector<DrawRecord>& present,
                         const std::vector<DrawRecord>& draws) {
  const std::size_t overlap = overlapLength(present, draws);
  if (overlap > 0) return overlap;
  const auto most = static_cast<std::ptrdiff_t>(std::min(present.size(), draws.size()));
  return endOfLastRun(keysOf(present.end() - most, present.end()),
                      keysOf(draws.begin(), draws.end()));
}

// The first two adjacent draws alike from `skipped` on, the first of them
// taken with the one before it, which ends the file; by their lines.
std::optional<RepeatedDraw> repeatFrom(const std::vector<DrawRecord>& draws, std::size_t skipped,
                                       const ImportedDraws& imported, bool reversed) {
  const auto lineOf = [&](std::size_t i) {
    return imported.lines[reversed ? draws.size() - 1 - i : i];
  };
  for (std::size_t i = std::max<std::size_t>(skipped, 1); i < draws.size(); ++i) {
    if (sameDraw(draws[i - 1], draws[i])) {
      const std::size_t x = lineOf(i - 1), y = lineOf(i);
      return RepeatedDraw{draws[i], std::min(x, y), std::max(x, y)};
    }
  }
  return std::nullopt;
}

}  // namespace

ImportPlan planImport(const std::vector<DrawRecord>& present, const ImportedDraws& imported,
                      bool force) {
  ImportPlan plan;
  Ordered ordered;
  if (imported.numbered()) {
    ordered = byNumber(imported, plan.conflict);
    if (plan.conflict) return plan;
    plan.skipped = numberedSkip(present, ordered.draws);
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
    if (!force) plan.repeat = repeatFrom(ordered.draws, plan.skipped, imported, plan.reversed);
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
