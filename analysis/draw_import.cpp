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

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = line.find_first_of(",\t", start);
    fields.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return fields;
    start = end + 1;
  }
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

std::array<std::int32_t, 5> sortedMain(const DrawRecord& d) {
  std::array<std::int32_t, 5> main{d.A, d.B, d.C, d.D, d.E};
  std::sort(main.begin(), main.end());
  return main;
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
  const std::vector<std::string_view> fields = splitFields(text);
  if (fields.size() != 6) return {{}, DrawProblem::MissingField};
  return drawOfFields(fields, kDefaultColumns);
}

ImportedDraws parseImport(std::string_view bytes, const Columns& columns) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  ImportedDraws result;
  bool firstLine = true;
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start < bytes.size();) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (trim(line).empty()) continue;
    const ParsedDraw parsed = drawOfFields(splitFields(line), columns);
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
  return x.Z == y.Z && sortedMain(x) == sortedMain(y);
}

std::size_t overlapLength(const std::vector<DrawRecord>& present,
                          const std::vector<DrawRecord>& imported) {
  for (std::size_t length = std::min(present.size(), imported.size()); length > 0; --length) {
    if (std::equal(present.end() - static_cast<std::ptrdiff_t>(length), present.end(),
                   imported.begin(), sameDraw)) {
      return length;
    }
  }
  return 0;
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
