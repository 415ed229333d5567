#include "report_page.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

#include "backtest_summary.h"
#include "display.h"
#include "distribution_expectation.h"
#include "frequency_table.h"
#include "number_strips.h"
#include "score_table.h"
#include "tabulation.h"
#include "text_decoding.h"
#include "text_format.h"

namespace kestaro {

namespace {

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The distribution's texts as the table shows them.
class CellTexts : public Display {
 public:
  std::array<std::array<std::string, 8>, kHighestNumber> cells;
  void clearRows() override {}
  void addRow(int, const std::string&) override {}
  void setCell(int row, int column, const std::string& text) override {
    cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
  }
  void setCaption(const std::string&) override {}
  void endOfSearch() override {}
};

// Blue below a fair draw, red above, white at it; capped at ±3.
std::string colourOf(const std::optional<double>& z) {
  if (!z) return "#d9d9d9";
  const double t = std::max(-1.0, std::min(1.0, *z / 3));
  const auto mix = [&](int full) {
    return static_cast<int>(std::lround(255 + (full - 255) * std::fabs(t)));
  };
  char text[16];
  if (t >= 0) {
    std::snprintf(text, sizeof text, "#%02x%02x%02x", mix(0xc0), mix(0x39), mix(0x2b));
  } else {
    std::snprintf(text, sizeof text, "#%02x%02x%02x", mix(0x21), mix(0x66), mix(0xac));
  }
  return text;
}

const char* const kColumns[] = {"", "A", "B", "C", "D", "E", "Z", "AVG"};

// A path is the system's bytes: where they are not UTF-8 the page shows '?'
// in their place rather than stop being UTF-8 itself.
std::string shownPath(const std::string& path) {
  if (isValidUtf8(path)) return escaped(path);
  std::string shown = path;
  for (char& c : shown)
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  return escaped(shown);
}

bool outsideTheNumbers(const DrawRecord& d) {
  const auto outside = [](std::int32_t n) { return n < 1 || n > kHighestNumber; };
  return outside(d.A) || outside(d.B) || outside(d.C) || outside(d.D) || outside(d.E) ||
         outside(d.Z);
}

// Hand-edited draws with numbers outside 1 to 31 count as draws, but those
// numbers stand in no cell: the reader is told how many.
std::string outsideRow(const std::vector<DrawRecord>& draws) {
  const auto outside = std::count_if(draws.begin(), draws.end(), outsideTheNumbers);
  if (outside == 0) return "";
  return "<tr><th>1 から 31 の外の数字を含む回 (その数字は分布にありません)</th><td "
         "id=\"outside\">" +
         std::to_string(outside) + "</td></tr>";
}

std::string glance(const ReportInput& input, const ScoreTable& scores, double best) {
  const std::vector<std::int64_t> counts = countsReaching(scores, {10, 1});
  return "<section id=\"glance\"><h2>ファイル</h2><table>"
         "<tr><th>ファイル</th><td>" +
         shownPath(input.path) + "</td></tr><tr><th>回数</th><td id=\"draws\">" +
         std::to_string(input.draws.size()) + "</td></tr>" + outsideRow(input.draws) +
         "<tr><th>最高の出現率</th><td id=\"best\">" + formatPercent(best) + " (" +
         formatExact(best) + ")</td></tr><tr><th>10% に届く組合せ</th><td id=\"reach10\">" +
         std::to_string(counts[0]) + "</td></tr><tr><th>1% に届く組合せ</th><td id=\"reach1\">" +
         std::to_string(counts[1]) + "</td></tr></table></section>\n";
}

std::string heatCell(int number, int column, const std::string& shown, double expected,
                     const std::optional<double>& z) {
  const int x = 40 + (column - 1) * 70, y = 24 + (number - 1) * 20;
  const std::string value = column == kAverageColumn ? shown.substr(0, shown.size() - 1) : shown;
  return "<g class=\"cell\" data-number=\"" + std::to_string(number) + "\" data-column=\"" +
         kColumns[column] + "\" data-observed=\"" + value + "\" data-expected=\"" +
         formatExact(expected) + "\" data-z=\"" + (z ? formatExact(*z) : "") + "\"><title>" +
         std::to_string(number) + " " + kColumns[column] + ": 実際 " + shown + "、期待 " +
         formatFixed(expected, 1) + (column == kAverageColumn ? "%" : "") +
         (z ? "、z = " + formatFixed(*z, 2) : "、差 —") + "</title><rect x=\"" + std::to_string(x) +
         "\" y=\"" + std::to_string(y) + "\" width=\"68\" height=\"18\" fill=\"" + colourOf(z) +
         "\"/><text x=\"" + std::to_string(x + 34) + "\" y=\"" + std::to_string(y + 13) + "\">" +
         shown + "</text></g>";
}

std::string heatMap(const std::vector<DrawRecord>& draws) {
  CellTexts texts;
  showDistribution(draws, texts);
  const FrequencyTable table = frequencyTableOf(draws);
  const DistributionExpectation fair = distributionExpectation(draws);
  const double count = static_cast<double>(draws.size());
  std::string svg =
      "<section id=\"distribution\"><h2>当選番号分布と公正な抽せんの期待値</h2>"
      "<p>色は (実際 − 期待) / 標準偏差。青は少なめ、赤は多め、±3 で頭打ち。灰色は比べる"
      "ものがない欄 (差 —)。</p><svg class=\"heat\" viewBox=\"0 0 540 650\" width=\"540\">";
  for (int column = 1; column <= kAverageColumn; ++column)
    svg += "<text class=\"head\" x=\"" + std::to_string(40 + (column - 1) * 70 + 34) +
           "\" y=\"16\">" + kColumns[column] + "</text>";
  for (int number = 1; number <= kHighestNumber; ++number) {
    svg += "<text class=\"head\" x=\"20\" y=\"" + std::to_string(24 + (number - 1) * 20 + 13) +
           "\">" + std::to_string(number) + "</text>";
    std::int64_t total = 0;
    for (int column = 1; column <= kAverageColumn; ++column) {
      const auto& shown =
          texts.cells[static_cast<std::size_t>(number - 1)][static_cast<std::size_t>(column)];
      const CellExpectation& cell =
          fair.cells[static_cast<std::size_t>(number)][static_cast<std::size_t>(column)];
      if (column < kAverageColumn) {
        const int observed =
            table.counts[static_cast<std::size_t>(number)][static_cast<std::size_t>(column)];
        total += observed;
        svg += heatCell(number, column, shown, cell.expected, standardized(observed, cell));
      } else {
        const double percent = count > 0 ? 100 / count : 0;
        svg += heatCell(number, column, shown, cell.expected * percent,
                        standardized(static_cast<double>(total), cell));
      }
    }
  }
  svg += "</svg>" + std::string("<svg class=\"legend\" viewBox=\"0 0 400 40\" width=\"400\">");
  for (int step = -6; step <= 6; ++step) {
    const double z = step / 2.0;
    svg += "<rect x=\"" + std::to_string(10 + (step + 6) * 26) +
           "\" y=\"4\" width=\"26\" height=\"14\" fill=\"" + colourOf(z) + "\"/>";
    if (step % 2 == 0)
      svg += "<text x=\"" + std::to_string(23 + (step + 6) * 26) + "\" y=\"34\">" +
             formatFixed(z, 0) + "</text>";
  }
  return svg + "<rect x=\"" + std::to_string(20 + 13 * 26) +
         "\" y=\"4\" width=\"26\" height=\"14\" fill=\"" + colourOf(std::nullopt) +
         "\"/><text x=\"" + std::to_string(33 + 13 * 26) + "\" y=\"34\">—</text></svg></section>\n";
}

// The last draw stands at the right end however short the history.
constexpr std::size_t kStripSpan = 100;

std::string strips(const std::vector<DrawRecord>& draws) {
  const auto all = numberStrips(draws, static_cast<int>(kStripSpan));
  std::string svg =
      "<section id=\"strips\"><h2>最近 100 "
      "回の出方</h2><p>黒は本数字、橙はボーナス数字。右の数は最後に"
      "出てからの回数 (最後の回に出たら 0)。</p><svg class=\"strips\" viewBox=\"0 0 720 644\" "
      "width=\"720\">";
  for (int number = 1; number <= kHighestNumber; ++number) {
    const NumberStrip& strip = all[static_cast<std::size_t>(number)];
    const int y = 4 + (number - 1) * 20;
    svg += "<g class=\"strip\" data-number=\"" + std::to_string(number) + "\" data-gap=\"" +
           (strip.gap ? std::to_string(*strip.gap) : "") + "\"><text class=\"head\" x=\"16\" y=\"" +
           std::to_string(y + 12) + "\">" + std::to_string(number) + "</text>";
    for (std::size_t i = 0; i < strip.recent.size(); ++i) {
      const Came came = strip.recent[i];
      svg += "<rect x=\"" +
             std::to_string(36 + 6 * static_cast<int>(kStripSpan - strip.recent.size() + i)) +
             "\" y=\"" + std::to_string(y) + "\" width=\"5\" height=\"16\" class=\"" +
             (came == Came::Main    ? "main"
              : came == Came::Bonus ? "bonus"
                                    : "none") +
             "\"/>";
    }
    svg += "<text x=\"650\" y=\"" + std::to_string(y + 12) + "\">" +
           (strip.gap ? std::to_string(*strip.gap) : "—") + "</text></g>";
  }
  return svg +
         "<text class=\"start\" x=\"36\" y=\"636\">← 古い回</text><text class=\"left\" "
         "x=\"636\" y=\"636\">最後の回 →</text></svg></section>\n";
}

// The axes of the curve: counts on a logarithmic scale, the threshold in
// percent up to `right`.
std::string curveAxes(double right, const std::function<double(double)>& x,
                      const std::function<double(double)>& y) {
  std::string svg =
      "<line class=\"axis\" x1=\"60\" y1=\"330\" x2=\"660\" y2=\"330\"/>"
      "<line class=\"axis\" x1=\"60\" y1=\"30\" x2=\"60\" y2=\"330\"/>";
  for (int power = 0; std::pow(10.0, power) <= kCombinations; ++power)
    svg += "<line class=\"grid\" x1=\"60\" x2=\"660\" y1=\"" + formatFixed(y(power), 1) +
           "\" y2=\"" + formatFixed(y(power), 1) + "\"/><text class=\"left\" x=\"54\" y=\"" +
           formatFixed(y(power) + 4, 1) + "\">" +
           formatNumber(static_cast<int>(std::pow(10, power))) + "</text>";
  const int step = right > 20 ? 5 : right > 8 ? 2 : 1;
  for (int percent = 0; percent <= right; percent += step)
    svg += "<text x=\"" + formatFixed(x(percent), 1) + "\" y=\"346\">" + std::to_string(percent) +
           "%</text>";
  return svg;
}

std::string curve(const ScoreTable& scores, double best) {
  std::vector<double> thresholds;
  thresholds.reserve(static_cast<std::size_t>(std::max(0.0, best * 10)) + 2);
  for (int tenth = 0; tenth / 10.0 <= best; ++tenth) thresholds.push_back(tenth / 10.0);
  if (thresholds.empty() || thresholds.back() != best) thresholds.push_back(best);
  const std::vector<std::int64_t> counts = countsReaching(scores, thresholds);
  // 10% is marked even where no combination reaches it.
  const double right = std::max(best, 10.0);
  const double top = std::log10(static_cast<double>(kCombinations));
  const auto x = [&](double t) { return 60 + 600 * t / right; };
  const auto y = [&](double power) { return 330 - 300 * power / top; };
  const auto yOf = [&](std::int64_t n) {
    return y(std::log10(static_cast<double>(std::max<std::int64_t>(n, 1))));
  };
  std::string svg =
      "<section id=\"curve\"><h2>出現率ごとの届く組合せの数</h2><p>横は出現率、縦は届く組合せの"
      "数 (対数目盛り、全 " +
      std::to_string(kCombinations) + ")。最高は " + formatPercent(best) +
      "。</p><svg class=\"curve\" viewBox=\"0 0 700 360\" width=\"700\">" + curveAxes(right, x, y) +
      "<polyline class=\"line\" points=\"";
  for (std::size_t i = 0; i < thresholds.size(); ++i)
    svg += formatFixed(x(thresholds[i]), 1) + "," + formatFixed(yOf(counts[i]), 1) + " ";
  svg += "\"/>";
  for (double mark : {1.0, 10.0})
    svg += "<line class=\"mark\" x1=\"" + formatFixed(x(mark), 1) + "\" y1=\"30\" x2=\"" +
           formatFixed(x(mark), 1) + "\" y2=\"330\"/><text class=\"marked\" x=\"" +
           formatFixed(x(mark), 1) + "\" y=\"24\">" + formatFixed(mark, 0) + "%</text>";
  for (std::size_t i = 0; i < thresholds.size(); ++i)
    svg += "<circle class=\"point\" r=\"2\" cx=\"" + formatFixed(x(thresholds[i]), 1) + "\" cy=\"" +
           formatFixed(yOf(counts[i]), 1) + "\" data-threshold=\"" + formatExact(thresholds[i]) +
           "\" data-reaching=\"" + std::to_string(counts[i]) + "\"><title>" +
           formatPercent(thresholds[i]) + ": " + std::to_string(counts[i]) + "</title></circle>";
  return svg + "</svg></section>\n";
}

// One chart of paired bars, observed beside expected, on one linear scale.
std::string pairedBars(const char* kind, const std::vector<std::string>& labels,
                       const std::vector<std::int64_t>& observed,
                       const std::vector<double>& expected) {
  double top = 1;
  for (std::size_t i = 0; i < labels.size(); ++i)
    top = std::max({top, static_cast<double>(observed[i]), expected[i]});
  const auto height = [&](double value) { return 200 * value / top; };
  std::string svg = "<svg class=\"bars\" viewBox=\"0 0 " + std::to_string(40 + 80 * labels.size()) +
                    " 260\" width=\"" + std::to_string(40 + 80 * labels.size()) + "\">";
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const int x = 30 + 80 * static_cast<int>(i);
    const double ho = height(static_cast<double>(observed[i])), he = height(expected[i]);
    svg += "<g class=\"pair\" data-kind=\"" + std::string(kind) + "\" data-index=\"" +
           std::to_string(kind == std::string("tier") ? i + 1 : i) + "\" data-observed=\"" +
           std::to_string(observed[i]) + "\" data-expected=\"" + formatExact(expected[i]) +
           "\"><title>" + labels[i] + ": 実際 " + std::to_string(observed[i]) + "、期待 " +
           formatFixed(expected[i], 2) + "</title><rect class=\"observed\" x=\"" +
           std::to_string(x) + "\" y=\"" + formatFixed(220 - ho, 1) + "\" width=\"32\" height=\"" +
           formatFixed(ho, 1) + "\"/><rect class=\"expected\" x=\"" + std::to_string(x + 34) +
           "\" y=\"" + formatFixed(220 - he, 1) + "\" width=\"32\" height=\"" + formatFixed(he, 1) +
           "\"/><text x=\"" + std::to_string(x + 16) + "\" y=\"" + formatFixed(215 - ho, 1) +
           "\">" + std::to_string(observed[i]) + "</text><text x=\"" + std::to_string(x + 50) +
           "\" y=\"" + formatFixed(215 - he, 1) + "\">" + formatFixed(expected[i], 2) +
           "</text><text class=\"head\" x=\"" + std::to_string(x + 33) + "\" y=\"240\">" +
           labels[i] + "</text></g>";
  }
  return svg + "</svg>";
}

std::string backtestSection(const ReportBacktest& backtest, int lastTarget) {
  const BacktestSummary& summary = backtest.summary;
  std::vector<std::string> labels;
  std::vector<double> expected;
  labels.reserve(kMatchWays.size());
  expected.reserve(kMatchWays.size());
  for (std::size_t m = 0; m < kMatchWays.size(); ++m) {
    labels.push_back(std::to_string(m) + " 個一致");
    expected.push_back(expectedCount(summary.tickets, kMatchWays[m]));
  }
  std::string html =
      "<section id=\"backtest\" data-targets=\"" + std::to_string(summary.targets) +
      "\" data-tickets=\"" + std::to_string(summary.tickets) + "\" data-z=\"" +
      (summary.z ? formatExact(*summary.z) : "") + "\" data-p=\"" +
      (summary.p ? formatExact(*summary.p) : "") + "\"><h2>バックテスト</h2><p id=\"verdict\">" +
      escaped(backtestVerdictText(summary)) +
      "</p><p>赤は実際の券の数、灰色はでたらめな券の期待値。</p><div "
      "class=\"charts\">" +
      pairedBars("matches", labels,
                 std::vector<std::int64_t>(summary.matches.begin(), summary.matches.end()),
                 expected);
  labels.clear();
  expected.clear();
  for (std::size_t tier = 0; tier < kTierWays.size(); ++tier) {
    labels.push_back(std::to_string(tier + 1) + "等");
    expected.push_back(expectedCount(summary.tickets, kTierWays[tier]));
  }
  html +=
      pairedBars("tier", labels,
                 std::vector<std::int64_t>(summary.tiers.begin(), summary.tiers.end()), expected);
  return html + "</div><pre>" +
         escaped(
             backtestSummaryText(backtest.request, backtest.thresholdText, lastTarget, summary)) +
         "</pre></section>\n";
}

const char kStyle[] =
    "body{font-family:sans-serif;max-width:60em;margin:2em auto;line-height:1.5}"
    "svg text{font-size:11px;text-anchor:middle;dominant-baseline:auto}"
    ".head{font-weight:bold}.main{fill:#222}.bonus{fill:#e08000}.none{fill:#eee}"
    ".line{fill:none;stroke:#2166ac;stroke-width:1.5}.mark{stroke:#c0392b;stroke-dasharray:4 3}"
    ".point{fill:#2166ac}.axis{stroke:#444}.grid{stroke:#e4e4e4}.left{text-anchor:end}.start{text-"
    "anchor:start}"
    ".marked{fill:#c0392b;font-weight:bold}.observed{fill:#c0392b}.expected{fill:#999}"
    "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:.2em .6em;text-align:left}"
    ".bars text{font-size:10px}#verdict{font-weight:bold;border-left:4px solid "
    "#c0392b;padding-left:.6em}.charts{display:flex;flex-wrap:wrap;gap:1em}"
    // Fixed-width Japanese fonts keep the summary's columns aligned.
    "pre{font-family:\"IPAGothic\",\"MS Gothic\",\"Osaka-Mono\",monospace}"
    "@media print{section{break-inside:avoid}}";

}  // namespace

std::string reportPage(const ReportInput& input) {
  const ScoreTable scores = scoreTableOf(input.draws);
  const double best = maxScore(scores);
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"UTF-8\"><title>Kestaro "
      "の記録: " +
      shownPath(input.path) + "</title><style>" + kStyle +
      "</style></head><body>\n<h1>Kestaro の記録</h1>\n";
  page += glance(input, scores, best) + heatMap(input.draws) + strips(input.draws) +
          curve(scores, best);
  if (input.backtest)
    page += backtestSection(*input.backtest, static_cast<int>(input.draws.size()));
  return page + "</body></html>\n";
}

}  // namespace kestaro
