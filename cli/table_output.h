#ifndef KESTARO_CLI_TABLE_OUTPUT_H
#define KESTARO_CLI_TABLE_OUTPUT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli_options.h"
#include "display.h"
#include "json_output.h"

namespace kestaro {

// Standard output in blocks, so that a long listing needs no more memory
// than a block; after a refused write nothing more is written.
class BlockOutput {
 public:
  // Keeps the text, writing what is kept once a block is full.
  void add(std::string_view text);
  // Writes what is kept; false when standard output refused any of it.
  bool flush();
  bool written() const { return written_; }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  std::string text_;
  bool written_ = true;
};

// A percent as the tables show it, without the '%': formatPercent's digits.
std::string percentDigits(double percent);
// The same figure as a JSON number: the double nearest those digits, which
// prints as the table shows it ("3.13", "9.9", "100.0").
Json percentNumber(double percent);

// One row of a table as values: a draw of the history, a number's counts in
// the distribution, a candidate.
struct TableRow {
  int no = 0;                             // from 1
  std::array<std::int32_t, 6> numbers{};  // A to E and Z
  double average = 0;                     // AVG in percent, for a table that has it
  std::optional<std::uint32_t> seed;      // the clock seed that chose a candidate
};

// The rows of history, distribution and search. TSV gets the window's own
// texts, through the calls that fill the window's list; CSV and JSON are
// made from the values. In JSON each row is an object, its cells numbers.
class TablePrinter : private Display {
 public:
  // `average`: whether the table has AVG.
  TablePrinter(OutputFormat format, bool average);

  // TSV: the display the window's functions fill.
  Display& windowTexts() { return *this; }
  // CSV and JSON: a row.
  void add(const TableRow& row);

  // Writes every row so far; false when standard output refused any.
  bool flush();
  // The same, and the end of the listing.
  bool finish();

 private:
  void clearRows() override {}
  void addRow(int row, const std::string& text) override;
  void setCell(int row, int column, const std::string& text) override;
  void setCaption(const std::string&) override {}
  void endOfSearch() override {}
  void endTextRow();

  OutputFormat format_;
  bool average_;
  BlockOutput out_;
  std::vector<std::string> cells_;  // the TSV row being filled
  std::size_t rows_ = 0;
};

}  // namespace kestaro

#endif
