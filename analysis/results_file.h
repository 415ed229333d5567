#ifndef KESTARO_ANALYSIS_RESULTS_FILE_H
#define KESTARO_ANALYSIS_RESULTS_FILE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "draw_import.h"

namespace kestaro {

// A whole number as results files write it: spaces around it, leading
// zeros, full-width digits, and parentheses around it, half- or full-width,
// as a bonus number often stands. Text is UTF-8.
std::optional<std::int32_t> numberOf(std::string_view field);

using Columns = std::array<int, 6>;  // 1-based fields of A, B, C, D, E and Z
inline constexpr Columns kDefaultColumns{1, 2, 3, 4, 5, 6};

// Where the columns came from.
enum class ColumnSource {
  Option,       // --columns
  Header,       // a header line that names all six
  ResultsPage,  // lines copied from a results page: 第N回, a date, six numbers
  Default,      // 1 to 6
};

// The draws of a results file (UTF-8 text): records by CSV's rules, fields
// separated by commas or tabs. The first refused record ends the reading.
struct ImportedDraws {
  std::vector<DrawRecord> draws;
  std::vector<std::size_t> lines;     // the line each draw starts on
  std::vector<std::int32_t> numbers;  // each draw's number, when the file numbers them
  std::size_t badLine = 0;            // 1-based; 0 when every record was taken
  DrawProblem problem = DrawProblem::MissingField;
  Columns columns = kDefaultColumns;
  ColumnSource source = ColumnSource::Default;
  // With the default columns failing on the first data line: the first six
  // consecutive fields there that hold numbers from 1 to 31.
  std::optional<Columns> suggested;
  bool numbered() const { return !numbers.empty(); }
};

// `columns` when given decide, else a header that names them, else the
// results page's form, else 1 to 6. The first non-blank line is a header when
// it names the columns, or when none of the six chosen fields holds a number.
ImportedDraws parseImport(std::string_view text, std::optional<Columns> columns = std::nullopt);

}  // namespace kestaro

#endif
