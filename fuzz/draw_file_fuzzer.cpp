// Feeds arbitrary bytes to the draw-file reader and the tabulations' table
// and checks what must hold for any file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "score_table.h"
#include "draw_format.h"
#include "frequency_table.h"
#include "text_format.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

// The lines of the file as text mode and the 0x1A rule cut them.
std::vector<std::string_view> linesOf(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= bytes.size(); ++i) {
    if (i == bytes.size() || bytes[i] == '\n' || bytes[i] == '\x1a') {
      lines.push_back(bytes.substr(start, i - start));
      start = i + 1;
    }
  }
  return lines;
}

// The text the lines are cut from: a UTF-16 file as one byte a character,
// anything but ASCII as a byte no number uses.
std::string textOf(std::string_view bytes) {
  const bool little = bytes.substr(0, 2) == "\xFF\xFE", big = bytes.substr(0, 2) == "\xFE\xFF";
  if (!little && !big) return std::string(bytes);
  std::string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const unsigned first = static_cast<unsigned char>(bytes[i]);
    const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
    const unsigned unit = little ? second << 8 | first : first << 8 | second;
    text += unit < 0x80 ? static_cast<char>(unit) : '#';
  }
  return text;
}

bool holds(std::string_view line, std::int32_t value) {
  std::string digits = std::to_string(value);
  if (value < 0) digits.erase(0, 1);
  return line.find(digits) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<kestaro::DrawRecord> draws = kestaro::parseDraws(bytes);

  // Each draw comes from a line of its own, in order, that holds its six values.
  const std::string text = textOf(bytes);
  const std::vector<std::string_view> lines = linesOf(text);
  std::size_t line = 0;
  for (const kestaro::DrawRecord& d : draws) {
    auto fields = kestaro::byPosition(d);
    auto all = [&](std::string_view text) {
      for (int p = 1; p <= kestaro::kPositions; ++p) {
        if (!holds(text, fields[p])) return false;
      }
      return true;
    };
    while (line < lines.size() && !all(lines[line])) ++line;
    require(line < lines.size());
    ++line;
  }

  // Every count column adds up to the draws with a value in 0..31 there.
  kestaro::FrequencyTable table;
  table.reset();
  for (const auto& d : draws) table.addDraw(d);
  for (int p = 1; p <= kestaro::kPositions; ++p) {
    long sum = 0, expected = 0;
    for (const auto& row : table.counts) sum += row[p];
    for (const auto& d : draws) {
      std::int32_t v = kestaro::byPosition(d)[p];
      expected += v >= 0 && v <= kestaro::kHighestNumber;
    }
    require(sum == expected);
  }

  // The scores stay finite and the exact maximum is formatted like any score.
  const auto scores = kestaro::makeScoreTable(table, static_cast<std::int32_t>(draws.size()));
  const double best = kestaro::maxScore(scores);
  require(best >= 0 && best <= 100);
  require(kestaro::formatPercent(best).back() == '%');
  return 0;
}
