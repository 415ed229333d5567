#include "results_parser.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "text_encoding.h"

namespace kestaro {

namespace {

// Spaces around a number: ASCII ones and the full-width U+3000.
constexpr std::string_view kWideSpace = "\xE3\x80\x80";  // U+3000

std::string_view trimSpaces(std::string_view text) {
  for (;;) {
    if (text.empty()) return text;
    const char first = text.front(), last = text.back();
    if (first == ' ' || first == '\t') {
      text.remove_prefix(1);
    } else if (first == '\xE3' && text.substr(0, 3) == kWideSpace) {
      text.remove_prefix(3);
    } else if (last == ' ' || last == '\t') {
      text.remove_suffix(1);
    } else if (last == '\x80' && text.size() >= 3 && text.substr(text.size() - 3) == kWideSpace) {
      text.remove_suffix(3);
    } else {
      return text;
    }
  }
}

// Removes `open` and `close` around the text when both are there.
bool unwrap(std::string_view& text, std::string_view open, std::string_view close) {
  if (text.size() < open.size() + close.size() || text.substr(0, open.size()) != open ||
      text.substr(text.size() - close.size()) != close) {
    return false;
  }
  text = text.substr(open.size(), text.size() - open.size() - close.size());
  return true;
}

// The value of a full-width digit (U+FF10 to U+FF19) at `i`, UTF-8.
std::optional<int> fullWidthDigitAt(std::string_view text, std::size_t i) {
  if (text.substr(i, 2) != "\xEF\xBC" || i + 2 >= text.size()) return std::nullopt;
  const auto last = static_cast<unsigned char>(text[i + 2]);
  if (last < 0x90 || last > 0x99) return std::nullopt;
  return last - 0x90;
}

}  // namespace

// A whole number as results files write it: spaces around it, leading
// zeros, full-width digits (UTF-8), and parentheses around it, half- or
// full-width, as a bonus number often stands.
std::optional<std::int32_t> numberOf(std::string_view text) {
  // Most fields are plain digits: read them without the searches below.
  if (!text.empty() && text.size() <= 9 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    std::int32_t value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
  }
  text = trimSpaces(text);
  if (unwrap(text, "(", ")") || unwrap(text, "\xEF\xBC\x88", "\xEF\xBC\x89")) {
    text = trimSpaces(text);
  }
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int digit;
    if (text[i] >= '0' && text[i] <= '9') {
      digit = text[i] - '0';
    } else if (const std::optional<int> wide = fullWidthDigitAt(text, i)) {
      digit = *wide;
      i += 2;
    } else {
      return std::nullopt;
    }
    value = value * 10 + digit;
    if (value > INT32_MAX) return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

namespace {

using Fields = std::vector<std::string>;

struct Record {
  std::size_t line = 0;   // the 1-based line it starts on
  Fields fields;          // never empty
  std::string_view text;  // as written, without its line end
  bool tooLong = false;   // cut after kLongestRecord bytes; nothing after it is read
};

// The records of a results file by CSV's rules (RFC 4180): fields separated
// by commas or tabs; a quoted field may hold separators, line breaks and
// doubled quotes. A line ends at LF, CR LF, a lone CR or 0x1A. A record
// that no comma or tab divides is split on runs of spaces instead, as lines
// copied from a results page as text are.
class RecordReader {
 public:
  explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

  // The next record, whose fields' room is kept from record to record;
  // false at the end.
  bool next(Record& record) {
    if (pos_ >= bytes_.size()) return false;
    record.line = line_;
    start_ = pos_;
    // One byte past the longest record tells a longer one.
    end_ = std::min(bytes_.size(), start_ + kLongestRecord + 1);
    Fields& fields = record.fields;
    std::size_t count = 0;
    Ending ending;
    do {
      if (count == fields.size()) fields.emplace_back();
      std::string& field = fields[count++];
      field.clear();
      ending = readField(field);
    } while (ending == Ending::Separator);
    fields.resize(count);
    record.text = bytes_.substr(start_, textEnd_ - start_);
    record.tooLong = ending == Ending::Cut;
    if (record.tooLong) pos_ = bytes_.size();
    if (count == 1) splitOnSpaces(fields);
    return true;
  }

 private:
  enum class Ending { Separator, LineEnd, Cut };

  // Reads one field and what ends it: a separator, a line end or the end of
  // the bytes, or the record's growing too long.
  Ending readField(std::string& field) {
    bool quoted = false;
    while (pos_ < end_) {
      if (!quoted) {
        // Ordinary characters in one piece: most fields hold nothing else.
        const std::size_t start = pos_;
        while (pos_ < end_ && !special(bytes_[pos_])) ++pos_;
        field.append(bytes_.data() + start, pos_ - start);
        if (pos_ == end_) break;
      }
      const char c = bytes_[pos_++];
      if (quoted) {
        if (c == '"' && pos_ < end_ && bytes_[pos_] == '"') {
          field += '"';
          ++pos_;
        } else if (c == '"') {
          quoted = false;
        } else {
          if (c == '\n' || c == '\x1a' ||
              (c == '\r' && (pos_ >= bytes_.size() || bytes_[pos_] != '\n'))) {
            ++line_;
          }
          field += c;
        }
      } else if (c == '"' && trimSpaces(field).empty()) {
        quoted = true;
        field.clear();
      } else if (c == ',' || c == '\t') {
        return Ending::Separator;
      } else if (c == '\n' || c == '\x1a' || c == '\r') {
        textEnd_ = pos_ - 1;
        if (c == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
        ++line_;
        return Ending::LineEnd;
      } else {
        field += c;
      }
    }
    textEnd_ = pos_;
    return pos_ - start_ > kLongestRecord ? Ending::Cut : Ending::LineEnd;
  }

  static bool special(char c) {
    return c == ',' || c == '\t' || c == '\n' || c == '\r' || c == '\x1a' || c == '"';
  }

  // The one field's words, each run of spaces ending one.
  void splitOnSpaces(Fields& fields) {
    whole_.swap(fields[0]);
    fields[0].clear();
    std::size_t count = 0;
    for (std::string_view rest = trimSpaces(whole_); !rest.empty(); rest = trimSpaces(rest)) {
      const std::size_t end = std::min({rest.size(), rest.find(' '), rest.find(kWideSpace)});
      if (count == fields.size()) fields.emplace_back();
      fields[count++].assign(rest.data(), end);
      rest.remove_prefix(end);
    }
    fields.resize(std::max<std::size_t>(count, 1));
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  std::size_t start_ = 0, end_ = 0;  // the record's first byte, and how far it may be read
  std::size_t textEnd_ = 0;          // where its text ends, before its line end
  std::string whole_;                // a record's one field while it is split
};

// A blank line, or an empty row as spreadsheets export it (",,,,").
bool blank(const Fields& fields) {
  return std::all_of(fields.begin(), fields.end(),
                     [](const std::string& field) { return trimSpaces(field).empty(); });
}

bool holdsANumber(const Fields& fields, const Columns& columns) {
  return std::any_of(columns.begin(), columns.end(), [&](int column) {
    const auto index = static_cast<std::size_t>(column);
    return index >= 1 && index <= fields.size() && numberOf(fields[index - 1]).has_value();
  });
}

// The draw in `columns` of one record's fields.
ParsedDraw drawOfFields(const Fields& fields, const Columns& columns) {
  std::int32_t values[6];
  for (int i = 0; i < 6; ++i) {
    const auto column = static_cast<std::size_t>(columns[i]);
    if (column < 1 || column > fields.size()) return {{}, DrawProblem::MissingField};
    std::optional<std::int32_t> value = numberOf(fields[column - 1]);
    if (!value) return {{}, DrawProblem::NotAnInteger};
    values[i] = *value;
  }
  DrawRecord draw{values[0], values[1], values[2], values[3], values[4], values[5]};
  return {draw, checkDraw(draw)};
}

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::string upperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The digits a name holds, half- or full-width.
std::vector<int> digitsOf(std::string_view name) {
  std::vector<int> digits;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] >= '0' && name[i] <= '9') {
      digits.push_back(name[i] - '0');
    } else if (const std::optional<int> wide = fullWidthDigitAt(name, i)) {
      digits.push_back(*wide);
      i += 2;
    }
  }
  return digits;
}

// The position (1 to 5 for A to E, 6 for Z) a header name gives its column,
// 0 for none: "第1数字", "本数字1", "抽せん数字１", "BONUS数字", "ボーナス数字",
// and the names kestaro-cli writes, A to E and Z.
int positionNamed(std::string_view field) {
  const std::string_view name = trimSpaces(field);
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'E') return name[0] - 'A' + 1;
  if (name == "Z") return 6;
  if (contains(name, "\u30DC\u30FC\u30CA\u30B9") || contains(upperAscii(name), "BONUS")) return 6;
  if (!contains(name, "\u6570\u5B57")) return 0;  // 数字
  const std::vector<int> digits = digitsOf(name);
  return digits.size() == 1 && digits[0] >= 1 && digits[0] <= 5 ? digits[0] : 0;
}

// The columns a header names, when it names all six.
std::optional<Columns> columnsNamed(const Fields& fields) {
  Columns columns{};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int position = positionNamed(fields[i]);
    if (position != 0 && columns[position - 1] == 0)
      columns[position - 1] = static_cast<int>(i + 1);
  }
  if (std::find(columns.begin(), columns.end(), 0) != columns.end()) return std::nullopt;
  return columns;
}

// The column that numbers the draws: 開催回, 回別, 抽せん回, 回号 or No.
std::optional<std::size_t> numberColumnNamed(const Fields& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string_view name = trimSpaces(fields[i]);
    for (std::string_view known :
         {"\u958B\u50AC\u56DE", "\u56DE\u5225", "\u62BD\u305B\u3093\u56DE", "\u56DE\u53F7", "No"}) {
      if (name == known) return i + 1;
    }
  }
  return std::nullopt;
}

// N of a field "第N回".
std::optional<std::int32_t> drawNumberOf(std::string_view field) {
  std::string_view text = trimSpaces(field);
  const std::string_view before = "\u7B2C", after = "\u56DE";  // 第, 回
  if (!unwrap(text, before, after)) return std::nullopt;
  return numberOf(text);
}

// A draw's number as a number column holds it: N, or 第N回 as results pages write it.
std::optional<std::int32_t> numberInColumn(std::string_view field) {
  if (std::optional<std::int32_t> number = numberOf(field)) return number;
  return drawNumberOf(field);
}

// A date as results pages write it: digits with "/" or "-", or with 年, 月 and 日.
bool isDate(std::string_view field) {
  const std::string_view text = trimSpaces(field);
  const bool marks = contains(text, "/") || contains(text, "-");
  const bool words =
      contains(text, "\u5E74") && contains(text, "\u6708") && contains(text, "\u65E5");
  return (marks || words) && !digitsOf(text).empty();
}

// The first six consecutive fields that make a draw; never the columns that
// failed, since they make none.
std::optional<Columns> suggestColumns(const Fields& fields) {
  for (std::size_t first = 0; first + 6 <= fields.size(); ++first) {
    Columns columns{};
    for (int k = 0; k < 6; ++k) columns[k] = static_cast<int>(first + 1) + k;
    if (!drawOfFields(fields, columns).problem) return columns;
  }
  return std::nullopt;
}

// The records of a text one by one, blank ones passed over (but one too
// long to read); each record's room is kept for the next, so a long file
// costs no memory per line.
class NonBlankRecords {
 public:
  explicit NonBlankRecords(std::string_view text) : reader_(text) {}
  bool next(Record& record) {
    while (reader_.next(record)) {
      if (record.tooLong || !blank(record.fields)) return true;
    }
    return false;
  }

 private:
  RecordReader reader_;
};

// A line that holds no number at all: a heading.
bool holdsNoNumber(const Fields& fields) {
  return std::none_of(fields.begin(), fields.end(), [](const std::string& field) {
    return numberOf(field) || drawNumberOf(field);
  });
}

// A line after the draws that does not start as a draw does, with a number
// or 第N回: a page's footer ("※…", "Copyright 2026", "前へ 1 2 次へ"), a note.
// An empty first field is a draw's number left out, not a footer.
bool startsNoDraw(const Fields& fields) {
  return !trimSpaces(fields[0]).empty() && !numberOf(fields[0]) && !drawNumberOf(fields[0]);
}

// Lines copied from a results page: the first record starts with 第N回, or
// the second after a heading that holds no number and names no columns;
// `heading` tells which.
bool resultsPage(std::string_view text, bool& heading) {
  NonBlankRecords records(text);
  Record record;
  heading = false;
  if (!records.next(record) || record.tooLong) return false;
  if (drawNumberOf(record.fields[0])) return true;
  if (!holdsNoNumber(record.fields) || columnsNamed(record.fields) || !records.next(record) ||
      record.tooLong)
    return false;
  heading = true;
  return drawNumberOf(record.fields[0]).has_value();
}

// How the draws of a file are found: the columns and where they came from,
// the number column, the records before the first draw.
struct Layout {
  Columns columns = kDefaultColumns;
  ColumnSource source = ColumnSource::Default;
  std::optional<std::size_t> numberColumn;
  bool header = false;  // the first non-blank record names columns, holds no draw
};

// `first` is the first non-blank record, when there is one and it could be read.
Layout layoutOf(std::string_view text, const Record* first, const std::optional<Columns>& columns) {
  if (first != nullptr && first->tooLong) first = nullptr;
  Layout layout;
  if (columns) {
    layout.columns = *columns;
    layout.source = ColumnSource::Option;
  } else if (bool heading = false; resultsPage(text, heading)) {
    layout.source = ColumnSource::ResultsPage;
    layout.header = heading;
    return layout;
  } else if (first != nullptr) {
    if (std::optional<Columns> named = columnsNamed(first->fields)) {
      layout.columns = *named;
      layout.source = ColumnSource::Header;
      layout.header = true;
    }
  }
  if (first != nullptr && !holdsANumber(first->fields, layout.columns)) layout.header = true;
  // A header numbers the draws wherever the columns came from.
  if (layout.header) layout.numberColumn = numberColumnNamed(first->fields);
  return layout;
}

// Lines from a results page: 第N回, perhaps a date, then the six numbers.
Columns pageColumns(const Fields& fields) {
  const int skip = fields.size() > 1 && isDate(fields[1]) ? 2 : 1;
  return {skip + 1, skip + 2, skip + 3, skip + 4, skip + 5, skip + 6};
}

// One record's draw and its number, where the layout numbers the draws.
ParsedDraw drawOfRecord(const Record& record, const Layout& layout, Columns& columns,
                        std::optional<std::int32_t>& number) {
  const Fields& fields = record.fields;
  if (layout.source == ColumnSource::ResultsPage) {
    columns = pageColumns(fields);
    number = drawNumberOf(fields[0]);
    // Every draw of a page has its number, or the numbers would not be the draws'.
    if (!number) return {{}, DrawProblem::NotAnInteger};
  } else if (layout.numberColumn) {
    if (*layout.numberColumn > fields.size()) return {{}, DrawProblem::MissingField};
    number = numberInColumn(fields[*layout.numberColumn - 1]);
    if (!number) return {{}, DrawProblem::NotAnInteger};
  }
  return drawOfFields(fields, columns);
}

// Why a record was refused.
struct Refusal {
  std::size_t line = 0;
  DrawProblem problem = DrawProblem::MissingField;
  std::string_view text;
};

void refuse(ImportedDraws& result, const Refusal& refusal) {
  result.badLine = refusal.line;
  result.problem = refusal.problem;
  result.badText = std::string(refusal.text);
}

}  // namespace

ImportedDraws parseImport(std::string_view text, std::optional<Columns> columns) {
  text = afterMark(text);  // UTF-8 holds no other mark
  ImportedDraws result;
  NonBlankRecords records(text);
  Record record;
  const bool any = records.next(record);
  const Layout layout = layoutOf(text, any ? &record : nullptr, columns);
  result.source = layout.source;
  result.columns = layout.columns;
  // The first record after the draws so far that starts as no draw does: a
  // footer when no draw follows it, else the first refused record.
  std::optional<Refusal> footer;
  bool more = any && (!layout.header || records.next(record));
  for (bool firstDraw = true; more; more = records.next(record), firstDraw = false) {
    Columns used = layout.columns;
    std::optional<std::int32_t> number;
    const ParsedDraw parsed = record.tooLong ? ParsedDraw{{}, DrawProblem::LineTooLong}
                                             : drawOfRecord(record, layout, used, number);
    if (firstDraw) result.columns = used;  // as the first data line has them
    if (parsed.problem && !record.tooLong && !result.draws.empty() && startsNoDraw(record.fields)) {
      if (!footer) footer = Refusal{record.line, *parsed.problem, record.text};
      result.footerLast = record.line;
      continue;
    }
    if (footer || parsed.problem) {
      refuse(result, footer ? *footer : Refusal{record.line, *parsed.problem, record.text});
      result.footerLast = 0;
      if (layout.source == ColumnSource::Default && result.draws.empty() && !record.tooLong) {
        result.suggested = suggestColumns(record.fields);
      }
      return result;
    }
    result.draws.push_back(parsed.draw);
    result.lines.push_back(record.line);
    if (number) result.numbers.push_back(*number);
  }
  if (footer) result.footerFirst = footer->line;
  return result;
}

ParsedDraw parseDrawText(std::string_view text) {
  std::int32_t values[6];
  for (int i = 0; i < 6; ++i) {
    const std::size_t end = text.find_first_of(",\t");
    if ((end == std::string_view::npos) != (i == 5)) return {{}, DrawProblem::MissingField};
    const std::optional<std::int32_t> value = numberOf(text.substr(0, end));
    if (!value) return {{}, DrawProblem::NotAnInteger};
    values[i] = *value;
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  DrawRecord draw{values[0], values[1], values[2], values[3], values[4], values[5]};
  return {draw, checkDraw(draw)};
}

}  // namespace kestaro
