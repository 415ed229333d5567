#include "draw_import.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace kestaro {

namespace {

// Spaces around a number: ASCII ones and the full-width U+3000.
std::string_view trimSpaces(std::string_view text) {
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
      text.remove_prefix(1);
    } else if (text.substr(0, 3) == "\xE3\x80\x80") {
      text.remove_prefix(3);
    } else if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
      text.remove_suffix(1);
    } else if (text.size() >= 3 && text.substr(text.size() - 3) == "\xE3\x80\x80") {
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

// A whole number as results files write it: spaces around it, leading
// zeros, full-width digits (UTF-8), and parentheses around it, half- or
// full-width, as a bonus number often stands.
std::optional<std::int32_t> integerOf(std::string_view text) {
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
    } else if (text.substr(i, 2) == "\xEF\xBC" && i + 2 < text.size() &&
               static_cast<unsigned char>(text[i + 2]) >= 0x90 &&
               static_cast<unsigned char>(text[i + 2]) <= 0x99) {
      digit = static_cast<unsigned char>(text[i + 2]) - 0x90;  // U+FF10 to U+FF19
      i += 2;
    } else {
      return std::nullopt;
    }
    value = value * 10 + digit;
    if (value > INT32_MAX) return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// The records of a results file by CSV's rules (RFC 4180): fields separated
// by commas or tabs; a quoted field may hold separators, line breaks and
// doubled quotes. A line ends at LF, CR LF, a lone CR or 0x1A.
class RecordReader {
 public:
  explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

  // The next record into `fields`, whose room is kept from record to record;
  // false at the end. `line` is the 1-based line on which it starts.
  bool next(std::vector<std::string>& fields, std::size_t& line) {
    if (pos_ >= bytes_.size()) return false;
    line = line_;
    std::size_t count = 0;
    for (;;) {
      if (count == fields.size()) fields.emplace_back();
      std::string& field = fields[count++];
      field.clear();
      if (readField(field)) break;
    }
    fields.resize(count);
    return true;
  }

 private:
  // Reads one field and what ends it; true when a line end or the end of the
  // bytes ended the record.
  bool readField(std::string& field) {
    bool quoted = false;
    while (pos_ < bytes_.size()) {
      if (!quoted) {
        // Ordinary characters in one piece: most fields hold nothing else.
        const std::size_t start = pos_;
        while (pos_ < bytes_.size() && !special(bytes_[pos_])) ++pos_;
        field.append(bytes_.data() + start, pos_ - start);
        if (pos_ == bytes_.size()) break;
      }
      const char c = bytes_[pos_++];
      if (quoted) {
        if (c == '"' && pos_ < bytes_.size() && bytes_[pos_] == '"') {
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
        return false;
      } else if (c == '\n' || c == '\x1a') {
        ++line_;
        return true;
      } else if (c == '\r') {
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
        ++line_;
        return true;
      } else {
        field += c;
      }
    }
    return true;
  }

  static bool special(char c) {
    return c == ',' || c == '\t' || c == '\n' || c == '\r' || c == '\x1a' || c == '"';
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

// A blank line, or an empty row as spreadsheets export it (",,,,").
bool blank(const std::vector<std::string>& fields) {
  return std::all_of(fields.begin(), fields.end(),
                     [](const std::string& field) { return trimSpaces(field).empty(); });
}

// Whether any of the chosen fields holds a number: a first line where none
// does is a header.
bool holdsANumber(const std::vector<std::string>& fields, const Columns& columns) {
  return std::any_of(columns.begin(), columns.end(), [&](int column) {
    const auto index = static_cast<std::size_t>(column);
    return index >= 1 && index <= fields.size() && integerOf(fields[index - 1]).has_value();
  });
}

// The draw in `columns` of one record's fields.
ParsedDraw drawOfFields(const std::vector<std::string>& fields, const Columns& columns) {
  std::int32_t values[6];
  for (int i = 0; i < 6; ++i) {
    const auto column = static_cast<std::size_t>(columns[i]);
    if (column < 1 || column > fields.size()) return {{}, DrawProblem::MissingField};
    std::optional<std::int32_t> value = integerOf(fields[column - 1]);
    if (!value) return {{}, DrawProblem::NotAnInteger};
    values[i] = *value;
  }
  DrawRecord draw{values[0], values[1], values[2], values[3], values[4], values[5]};
  return {draw, checkDraw(draw)};
}

// What makes two draws the same: the main numbers in ascending order, then
// the bonus.
using DrawKey = std::array<std::int32_t, 6>;
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

}  // namespace

std::optional<DrawProblem> checkDraw(const DrawRecord& draw) {
  const std::array<std::int32_t, 6> values{draw.A, draw.B, draw.C, draw.D, draw.E, draw.Z};
  for (std::int32_t value : values) {
    if (value < 1 || value > kHighestNumber) return DrawProblem::OutOfRange;
  }
  std::uint32_t seen = 0;
  for (int i = 0; i < 5; ++i) {
    const std::uint32_t bit = 1u << values[i];
    if (seen & bit) return DrawProblem::RepeatedMainNumber;
    seen |= bit;
  }
  if (seen & (1u << draw.Z)) return DrawProblem::BonusInMain;
  return std::nullopt;
}

ParsedDraw parseDrawText(std::string_view text) {
  std::vector<std::string> fields;
  std::size_t line = 0;
  RecordReader reader(text);
  if (!reader.next(fields, line) || fields.size() != 6) return {{}, DrawProblem::MissingField};
  return drawOfFields(fields, kDefaultColumns);
}

ImportedDraws parseImport(std::string_view bytes, const Columns& columns) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  ImportedDraws result;
  RecordReader reader(bytes);
  std::vector<std::string> fields;
  std::size_t line = 0;
  bool first = true;
  while (reader.next(fields, line)) {
    if (blank(fields)) continue;
    const bool header = first && !holdsANumber(fields, columns);
    first = false;
    if (header) continue;
    const ParsedDraw parsed = drawOfFields(fields, columns);
    if (parsed.problem) {
      result.badLine = line;
      result.problem = *parsed.problem;
      return result;
    }
    result.draws.push_back(parsed.draw);
  }
  return result;
}

bool sameDraw(const DrawRecord& x, const DrawRecord& y) {
  return keyOf(x) == keyOf(y);
}

// Linear in both lengths, however often one draw repeats: the imported list's
// prefix function over canonical keys, run along the end of the file.
std::size_t overlapLength(const std::vector<DrawRecord>& present,
                          const std::vector<DrawRecord>& imported) {
  const std::size_t most = std::min(present.size(), imported.size());
  if (most == 0) return 0;
  std::vector<DrawKey> pattern(most);
  std::transform(imported.begin(), imported.begin() + static_cast<std::ptrdiff_t>(most),
                 pattern.begin(), keyOf);
  // border[i]: the longest proper prefix of pattern[0..i] that also ends it.
  std::vector<std::size_t> border(most, 0);
  for (std::size_t i = 1, length = 0; i < most; ++i) {
    while (length > 0 && pattern[i] != pattern[length]) length = border[length - 1];
    if (pattern[i] == pattern[length]) ++length;
    border[i] = length;
  }
  std::size_t matched = 0;
  for (auto draw = present.end() - static_cast<std::ptrdiff_t>(most); draw != present.end();
       ++draw) {
    const DrawKey key = keyOf(*draw);
    while (matched > 0 && (matched == most || key != pattern[matched])) {
      matched = border[matched - 1];
    }
    if (key == pattern[matched]) ++matched;
  }
  return matched;
}

ImportPlan planImport(const std::vector<DrawRecord>& present,
                      const std::vector<DrawRecord>& imported, bool force) {
  ImportPlan plan;
  plan.skipped = overlapLength(present, imported);
  plan.disjoint = !force && !present.empty() && !imported.empty() && plan.skipped == 0;
  if (!plan.disjoint) {
    plan.added.assign(imported.begin() + static_cast<std::ptrdiff_t>(plan.skipped), imported.end());
  }
  return plan;
}

}  // namespace kestaro
