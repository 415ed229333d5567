#include "draw_import.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace kestaro {

namespace {

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  // Spreadsheets quote their fields.
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

// A whole decimal integer and nothing else.
std::optional<std::int32_t> integerOf(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// The fields of one line into `fields`, whose room is kept from line to line.
void splitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == ',' || line[i] == '\t') {
      fields.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  fields.push_back(line.substr(start));
}

// The draw in `columns` of one line of fields.
ParsedDraw drawOfFields(const std::vector<std::string_view>& fields, const Columns& columns) {
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
  std::vector<std::string_view> fields;
  splitFields(text, fields);
  if (fields.size() != 6) return {{}, DrawProblem::MissingField};
  return drawOfFields(fields, kDefaultColumns);
}

ImportedDraws parseImport(std::string_view bytes, const Columns& columns) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  ImportedDraws result;
  bool firstLine = true;
  std::size_t lineNumber = 0;
  std::vector<std::string_view> fields;
  for (std::size_t start = 0; start < bytes.size();) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (trim(line).empty()) continue;
    splitFields(line, fields);
    const ParsedDraw parsed = drawOfFields(fields, columns);
    const bool header = firstLine && (parsed.problem == DrawProblem::NotAnInteger ||
                                      parsed.problem == DrawProblem::MissingField);
    firstLine = false;
    if (header) continue;
    if (parsed.problem) {
      result.badLine = lineNumber;
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
