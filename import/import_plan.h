#ifndef KESTARO_IMPORT_IMPORT_PLAN_H
#define KESTARO_IMPORT_IMPORT_PLAN_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "results_parser.h"

namespace kestaro {

// Two lines that give one draw number two different draws.
struct NumberConflict {
  std::int32_t number = 0;
  std::size_t firstLine = 0, secondLine = 0;
};

// Two adjacent lines of a list without numbers that give the same draw.
struct RepeatedDraw {
  DrawRecord draw;
  std::size_t firstLine = 0, secondLine = 0;
};

// What an import of a results file would add to the draws already there,
// and why it would refuse. Numbered draws are taken in ascending order of
// their numbers, whatever the file's order, the same draw given twice once;
// where the end of the file overlaps none of their start (a gap in the part
// present), the new ones begin after the longest run of the file's last
// draws that stands together in them. Draws without numbers are taken as
// given or reversed, whichever overlaps the end of the file further (as
// given when both do equally).
struct ImportPlan {
  std::size_t skipped = 0;        // leading draws of the list already in the file
  std::vector<DrawRecord> added;  // the draws to append, in order; none when refused
  bool reversed = false;          // the list was newest first
  // Refused: a list that shares no draw with the end of a non-empty file
  // (unless forced), since a mistyped old draw would register it all twice.
  bool disjoint = false;
  std::optional<NumberConflict> conflict;  // refused, forced or not
  // The first five numbers missing among the draws to add, or between the
  // last one present and the first added: refused unless forced, since the
  // next import of the full list would then find no overlap.
  std::vector<std::int32_t> missing;
  bool gapRefused = false;
  // The first five numbers missing only in the part already present: a warning.
  std::vector<std::int32_t> missingPresent;
  // Refused unless forced: the same draw on adjacent lines of a list without
  // numbers, among the draws to add or the first of them after the file's
  // last. It is most likely a line pasted twice: a fair draw repeats the one
  // before it once in 4.4 million.
  std::optional<RepeatedDraw> repeat;

  bool refused() const {
    return disjoint || conflict.has_value() || gapRefused || repeat.has_value();
  }
};

ImportPlan planImport(const std::vector<DrawRecord>& present, const ImportedDraws& imported,
                      bool force);

}  // namespace kestaro

#endif
