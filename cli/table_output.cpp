#include "table_output.h"

#include "console.h"
#include "text_format.h"

namespace kestaro {

void BlockOutput::add(std::string_view text) {
  text_ += text;
  if (text_.size() >= kBlock) flush();
}

bool BlockOutput::flush() {
  if (written_ && !text_.empty()) written_ = console::out(text_);
  text_.clear();
  return written_;
}

std::string percentDigits(double percent) {
  return formatHundredths(hundredthsOf(percent));
}

// Hundredths over 100, correctly rounded: the double nearest the digits shown.
Json percentNumber(double percent) {
  return static_cast<double>(hundredthsOf(percent)) / 100.0;
}

TablePrinter::TablePrinter(OutputFormat format, bool average) : format_(format), average_(average) {
  if (format == OutputFormat::Csv) out_.add("No,A,B,C,D,E,Z,AVG\n");
}

void TablePrinter::add(const TableRow& row) {
  static const char* const kNames[] = {"A", "B", "C", "D", "E", "Z"};
  if (format_ == OutputFormat::Json) {
    Json object;
    object["no"] = row.no;
    if (row.seed) object["seed"] = *row.seed;
    for (std::size_t i = 0; i < row.numbers.size(); ++i) object[kNames[i]] = row.numbers[i];
    if (average_) object["AVG"] = percentNumber(row.average);
    out_.add(jsonElementText(object, rows_ == 0));
  } else {
    // AVG's column stands empty in a table without it, as in the window.
    std::string text = std::to_string(row.no);
    for (std::int32_t number : row.numbers) text += "," + std::to_string(number);
    out_.add(text + "," + (average_ ? percentDigits(row.average) : "") + "\n");
  }
  ++rows_;
}

void TablePrinter::addRow(int, const std::string& text) {
  endTextRow();
  cells_.assign(8, "");
  cells_[0] = text;
}

void TablePrinter::setCell(int, int column, const std::string& text) {
  cells_[static_cast<std::size_t>(column)] = text;
}

void TablePrinter::endTextRow() {
  if (cells_.empty()) return;
  std::string text = cells_[0];
  for (std::size_t i = 1; i < cells_.size(); ++i) text += "\t" + cells_[i];
  cells_.clear();
  out_.add(text + "\n");
}

bool TablePrinter::flush() {
  endTextRow();
  return out_.flush();
}

bool TablePrinter::finish() {
  endTextRow();
  if (format_ == OutputFormat::Json) out_.add(jsonArrayEndText(rows_ == 0));
  return out_.flush();
}

}  // namespace kestaro
