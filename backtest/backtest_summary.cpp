#include "backtest_summary.h"

#include <cmath>

#include "text_format.h"

namespace kestaro {

namespace {

std::string padded(const std::string& text, std::size_t width) {
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string count(std::int64_t value, std::size_t width) {
  return padded(std::to_string(value), width);
}

// One row of the table: its label, three columns wide on screen, then the
// observed and the expected count.
std::string row(const std::string& label, std::int64_t observed, double expected) {
  return "  " + label + count(observed, 12) + padded(formatFixed(expected, 2), 14) + "\n";
}

}  // namespace

std::string targetsText(int from, int lastTarget) {
  const std::string first = "第 " + std::to_string(from) + " 回";
  if (from <= lastTarget) return first + "から第 " + std::to_string(lastTarget) + " 回まで";
  return first + "以降の回はありません (" +
         (lastTarget == 0 ? std::string("当選番号ファイルに回がありません")
                          : "最後は第 " + std::to_string(lastTarget) + " 回") +
         ")";
}

std::string backtestVerdictText(const BacktestSummary& summary) {
  if (!summary.meanMatches) return "券を選べた回がないため、平均、z、p はありません。\n";
  if (!summary.z)
    return "どの回の券も 31 の数字を同じ枚数ずつ含むため、一致数の合計はどんな抽せんでも"
           "同じで、z と p はありません。\n";
  const double z = *summary.z;
  const std::string way = z > 0   ? "でたらめに選んだ券より多く当たりました"
                          : z < 0 ? "でたらめに選んだ券より当たりが少なめでした"
                                  : "でたらめに選んだ券とちょうど同じだけ当たりました";
  const std::string chance = std::fabs(z) < 2
                                 ? "その差は偶然で十分に起こる大きさです (|z| < 2)。"
                                 : "その差は偶然だけでは起こりにくい大きさです (|z| >= 2)。";
  return "この方法で選んだ券は" + way + "が、" + chance + "\n";
}

std::string backtestSummaryText(const BacktestRequest& request, const std::string& thresholdText,
                                int lastTarget, const BacktestSummary& summary) {
  std::string text = "バックテスト: " + targetsText(request.from, lastTarget) + "、各回 " +
                     std::to_string(request.count) + " 枚、出現率 " + thresholdText +
                     "% 以上、シード " + std::to_string(request.seed) + "\n";
  text += "  検証した回        " + count(summary.targets, 8) + "\n";
  text += "  届かない回        " + count(summary.outOfReach, 8) + "\n";
  text += "  不正な回          " + count(summary.invalid, 8) + "\n";
  text += "  券                " + count(summary.tickets, 8) + "\n\n";
  text += "  一致数     実際          期待\n";
  for (std::size_t m = 0; m < summary.matches.size(); ++m)
    text += row(std::to_string(m) + "  ", summary.matches[m],
                expectedCount(summary.tickets, kMatchWays[m]));
  text += "\n  等級       実際          期待\n";
  for (std::size_t tier = 0; tier < summary.tiers.size(); ++tier)
    text += row(std::to_string(tier + 1) + "等", summary.tiers[tier],
                expectedCount(summary.tickets, kTierWays[tier]));
  text += "\n";
  if (summary.meanMatches) {
    text += "  1 枚あたりの一致数の平均  " + formatFixed(*summary.meanMatches, 4) +
            " (でたらめな券なら 25/31 = " + formatFixed(kFairMeanMatches, 4) + ")\n";
    if (summary.z)
      text += "  z = " + formatFixed(*summary.z, 2) + "、p = " + formatFixed(*summary.p, 3) +
              " (両側)\n";
  }
  return text + backtestVerdictText(summary);
}

}  // namespace kestaro
