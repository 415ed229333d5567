#ifndef KESTARO_UI_LIST_SORT_H
#define KESTARO_UI_LIST_SORT_H

#include <array>
#include <cstdint>
#include <string_view>

// The result list's sorting, apart from the control so that it runs and is
// tested without a window.
namespace kestaro {

inline constexpr int kColumns = 8;
inline constexpr std::int32_t kUnsorted = 0, kAscending = 1, kDescending = 2;
// What the list shows: a sort relabels column 0 only for candidates.
inline constexpr std::int32_t kListModeCandidates = 0, kListModeTabulation = 1;

// Each column's latest sort direction; never reset during the run.
struct SortDirections {
  std::array<std::int32_t, kColumns> direction{};
  // Ascending on the first click, then descending and ascending in turn.
  std::int32_t toggle(int column);
};

// The numeric value of a cell as atof reads at most its first 29 characters:
// "No. 3" and "" give 0, "17.65%" gives 17.65.
double cellValue(std::string_view text);

// Negative when the first row goes first: ascending for kAscending,
// descending for any other direction.
int compareRows(double first, double second, std::int32_t direction);

// How many labels a sort in ListMode 0 rewrites: No. 1 from the top, up to
// pickCount, but never past the last row.
int labelsToRewrite(std::int32_t pickCount, int rowCount);

}  // namespace kestaro

#endif
