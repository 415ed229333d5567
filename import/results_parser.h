#ifndef KESTARO_IMPORT_RESULTS_PARSER_H
#define KESTARO_IMPORT_RESULTS_PARSER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "draw_check.h"

namespace kestaro {

// A whole number as results files write it: spaces around it, leading
// zeros, full-width digits, and parentheses around it, half- or full-width,
// as a bonus number often stands. Text is UTF-8.
std::optional<std::int32_t> numberOf(std::string_view field);

// "A,B,C,D,E,Z" as typed on a command line, checked.
struct ParsedDraw {
  DrawRecord draw;
  std::optional<DrawProblem> problem;
};
ParsedDraw parseDrawText(std::string_view text);

using Columns = std::array<int, 6>;  // 1-based fields of A, B, C, D, E and Z
inline constexpr Columns kDefaultColumns{1, 2, 3, 4, 5, 6};

// Where the columns came from.
enum class ColumnSource {
  Option,       // --columns
  Header,       // a header line that names all six
  ResultsPage,  // lines copied from a results page: 第N回, a date, six numbers
  Default,      // 1 to 6
};

// The longest record a results file may hold, its line end aside: a longer
// one is refused unread beyond it, since a line of a hundred megabytes would
// otherwise be held as tens of millions of fields.
inline constexpr std::size_t kLongestRecord = 4096;

// The draws of a results file (UTF-8 text): records by CSV's rules, fields
// separated by commas or tabs, or a record with neither split on runs of
// spaces. The first refused record ends the reading; records after the last
// draw that hold no number (a page's footer) are passed over.
struct ImportedDraws {
  std::vector<DrawRecord> draws;
  std::vector<std::size_t> lines;     // the line each draw starts on
  std::vector<std::int32_t> numbers;  // each draw's number, when the file numbers them
  std::size_t badLine = 0;            // 1-based; 0 when every record was taken
  DrawProblem problem = DrawProblem::MissingField;
  std::string badText;  // the refused record as written, at most kLongestRecord + 1 bytes
  // The lines the passed-over records start on, first and last; 0 for none.
  std::size_t footerFirst = 0, footerLast = 0;
  Columns columns = kDefaultColumns;
  ColumnSource source = ColumnSource::Default;
  // With the default columns failing on the first data line: the first six
  // consecutive fields there that make a draw.
  std::optional<Columns> suggested;
  bool numbered() const { return !numbers.empty(); }
};

// `columns` when given decide, else a header that names them, else the
// results page's form, else 1 to 6. The first non-blank line is a header when
// it names the columns, or when none of the six chosen fields holds a number.
ImportedDraws parseImport(std::string_view text, std::optional<Columns> columns = std::nullopt);

}  // namespace kestaro

#endif
