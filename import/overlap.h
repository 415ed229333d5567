#ifndef KESTARO_IMPORT_OVERLAP_H
#define KESTARO_IMPORT_OVERLAP_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "draw_format.h"

namespace kestaro {

// The same draw: the same bonus and the same five main numbers in any order.
bool sameDraw(const DrawRecord& x, const DrawRecord& y);

// What makes two draws the same: the main numbers in ascending order, then
// the bonus.
using DrawKey = std::array<std::int32_t, 6>;
DrawKey keyOf(const DrawRecord& draw);
std::vector<DrawKey> keysOf(std::vector<DrawRecord>::const_iterator begin,
                            std::vector<DrawRecord>::const_iterator end);

// The length of the longest run at the end of `present` that equals the
// start of `imported`; what follows it in `imported` is new.
std::size_t overlapLength(const std::vector<DrawRecord>& present,
                          const std::vector<DrawRecord>& imported);
// The same over the draws' keys: `presentEnd` the keys of at least the last
// draws of the file that the list could overlap.
std::size_t overlapOfKeys(const std::vector<DrawKey>& presentEnd,
                          const std::vector<DrawKey>& imported);
// The longest run of the file's last draws (the end of `presentEnd`) that
// stands together anywhere in `imported`, the latest in it where two are
// as long: the index in `imported` just after the run, 0 when not even the
// last draw is there. Linear in both lengths.
std::size_t endOfLastRun(const std::vector<DrawKey>& presentEnd,
                         const std::vector<DrawKey>& imported);

}  // namespace kestaro

#endif
