#include "overlap.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace kestaro {

DrawKey keyOf(const DrawRecord& d) {
  DrawKey key{d.A, d.B, d.C, d.D, d.E, d.Z};
  // A sorting network for five: the overlap search keys every draw of both lists.
  auto order = [&key](int i, int j) {
    const std::int32_t low = std::min(key[i], key[j]), high = std::max(key[i], key[j]);
    key[i] = low;
    key[j] = high;
  };
  for (auto [i, j] :
       {std::pair{0, 1}, {3, 4}, {2, 4}, {2, 3}, {0, 3}, {0, 2}, {1, 4}, {1, 3}, {1, 2}}) {
    order(i, j);
  }
  return key;
}

bool sameDraw(const DrawRecord& x, const DrawRecord& y) {
  return keyOf(x) == keyOf(y);
}

std::vector<DrawKey> keysOf(std::vector<DrawRecord>::const_iterator begin,
                            std::vector<DrawRecord>::const_iterator end) {
  std::vector<DrawKey> keys(static_cast<std::size_t>(end - begin));
  std::transform(begin, end, keys.begin(), keyOf);
  return keys;
}

namespace {

// The prefix function of keys[0..length): border[i] is the longest proper
// prefix of keys[0..i] that also ends it.
std::vector<std::uint32_t> bordersOf(const std::vector<DrawKey>& keys, std::size_t length) {
  std::vector<std::uint32_t> border(length, 0);
  for (std::size_t i = 1, matched = 0; i < length; ++i) {
    while (matched > 0 && keys[i] != keys[matched]) matched = border[matched - 1];
    if (keys[i] == keys[matched]) ++matched;
    border[i] = static_cast<std::uint32_t>(matched);
  }
  return border;
}

}  // namespace

// Linear in both lengths, however often one draw repeats: the list's prefix
// function, run along the end of the file.
std::size_t overlapOfKeys(const std::vector<DrawKey>& presentEnd,
                          const std::vector<DrawKey>& imported) {
  const std::size_t most = std::min(presentEnd.size(), imported.size());
  if (most == 0) return 0;
  const std::vector<std::uint32_t> border = bordersOf(imported, most);
  std::size_t matched = 0;
  for (auto key = presentEnd.end() - static_cast<std::ptrdiff_t>(most); key != presentEnd.end();
       ++key) {
    while (matched > 0 && (matched == most || *key != imported[matched])) {
      matched = border[matched - 1];
    }
    if (*key == imported[matched]) ++matched;
  }
  return matched;
}

// The file's end read backwards, as a pattern searched for along the list
// read backwards: the longest prefix of it found anywhere is the run.
std::size_t endOfLastRun(const std::vector<DrawKey>& presentEnd,
                         const std::vector<DrawKey>& imported) {
  const std::vector<DrawKey> pattern(presentEnd.rbegin(), presentEnd.rend());
  if (pattern.empty()) return 0;
  const std::vector<std::uint32_t> border = bordersOf(pattern, pattern.size());
  std::size_t matched = 0, longest = 0, end = 0;
  for (std::size_t i = imported.size(); i-- > 0;) {
    while (matched > 0 && (matched == pattern.size() || imported[i] != pattern[matched])) {
      matched = border[matched - 1];
    }
    if (imported[i] == pattern[matched]) ++matched;
    // imported[i, i + matched) is the file's last `matched` draws.
    if (matched > longest) {
      longest = matched;
      end = i + matched;
    }
  }
  return end;
}

std::size_t overlapLength(const std::vector<DrawRecord>& present,
                          const std::vector<DrawRecord>& imported) {
  const auto most = static_cast<std::ptrdiff_t>(std::min(present.size(), imported.size()));
  return overlapOfKeys(keysOf(present.end() - most, present.end()),
                       keysOf(imported.begin(), imported.begin() + most));
}

}  // namespace kestaro
