#include "import_words.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "draw_file_words.h"

namespace kestaro {

namespace {

std::string columnsText(const Columns& columns) {
  std::string text;
  for (int column : columns) text += (text.empty() ? "" : ",") + std::to_string(column);
  return text;
}

// "第1402回、第1403回"
std::string drawNumbersText(const std::vector<std::int32_t>& numbers) {
  std::string text;
  for (std::int32_t number : numbers) {
    text += (text.empty() ? "第" : "、第") + std::to_string(number) + "回";
  }
  return text;
}

const char* sourceText(ColumnSource source) {
  switch (source) {
    case ColumnSource::Option:
      return "--columns";
    case ColumnSource::Header:
      return "見出しから";
    case ColumnSource::ResultsPage:
      return "第N回の形から";
    case ColumnSource::Default:
      return "既定";
  }
  return "";
}

std::string listRefusalText(const std::string& source, const ImportedDraws& imported) {
  if (imported.badLine == 0) return source + " に当選番号がありません。" + kNothingAdded + "\n";
  std::string why = std::to_string(imported.badLine) + " 行目「" + recordShown(imported.badText) +
                    "」: " + problemText(imported.problem) + "。" + kNothingAdded;
  if (imported.suggested) {
    why += "数の並ぶ列を --columns " + columnsText(*imported.suggested) + " で指定してください。";
  }
  return why + "\n";
}

std::string planRefusalText(const ImportRequest& request, const ImportPlan& plan) {
  if (plan.conflict) {
    return std::to_string(plan.conflict->firstLine) + " 行目と " +
           std::to_string(plan.conflict->secondLine) + " 行目: 第" +
           std::to_string(plan.conflict->number) + "回に違う当選番号が二つあります。" +
           kNothingAdded + "\n";
  }
  if (plan.disjoint) {
    return request.drawFile + " の末尾と " + request.list +
           " の先頭に同じ回がありません。古い回の誤りで二重に登録しないよう、" + kNothingAdded +
           "\n";
  }
  if (plan.repeat) {
    const std::string draw = formatDrawLine(plan.repeat->draw);
    return std::to_string(plan.repeat->firstLine) + " 行目と " +
           std::to_string(plan.repeat->secondLine) + " 行目: 同じ当選番号 " +
           draw.substr(0, draw.find('\r')) +
           " が続いています。公正な抽せんで前の回と同じになるのは約 440 万回に 1 回のため、"
           "同じ行を 2 度貼り付けたものとみて、" +
           kNothingAdded + "\n";
  }
  return drawNumbersText(plan.missing) +
         "がありません。抜けたまま登録すると次に一覧を取り込むとき重なりが見つからないため、" +
         kNothingAdded + "\n";
}

}  // namespace

std::string problemText(DrawProblem problem) {
  switch (problem) {
    case DrawProblem::MissingField:
      return "6 つの数がありません";
    case DrawProblem::NotAnInteger:
      return "整数ではありません";
    case DrawProblem::OutOfRange:
      return "1 から 31 の範囲外の数があります";
    case DrawProblem::RepeatedMainNumber:
      return "本数字が重複しています";
    case DrawProblem::BonusInMain:
      return "ボーナス数字が本数字と重複しています";
    case DrawProblem::LineTooLong:
      return std::to_string(kLongestRecord) + " バイトより長い行です";
  }
  return "";
}

std::string importRefusalText(const ImportRequest& request, const ImportOutcome& outcome) {
  switch (outcome.stop) {
    case ImportOutcome::Stop::None:
      return "";
    case ImportOutcome::Stop::ListUnreadable:
      return readFailureText(request.list, outcome.listRead);
    case ImportOutcome::Stop::Undecodable:
      return request.list +
             " の文字コードを読めません (UTF-8、UTF-16、Shift-JIS のどれでもありません)。" +
             kNothingAdded + "\n";
    case ImportOutcome::Stop::ListRefused:
      return listRefusalText(request.list, outcome.imported);
    case ImportOutcome::Stop::DrawFile:
      return appendFailureText(request.drawFile, outcome.append);
    case ImportOutcome::Stop::PlanRefused:
      return planRefusalText(request, outcome.plan);
  }
  return "";
}

bool forceWouldTake(const ImportOutcome& outcome) {
  return outcome.stop == ImportOutcome::Stop::PlanRefused && !outcome.plan.conflict;
}

std::string importSummaryText(const ImportOutcome& outcome, bool planned) {
  const ImportPlan& plan = outcome.plan;
  return "読み込み " + std::to_string(outcome.imported.draws.size()) + " 回、登録済みで省略 " +
         std::to_string(plan.skipped) + " 回、" + (planned ? "追加予定 " : "追加 ") +
         std::to_string(plan.added.size()) + " 回\n" + "列 " +
         columnsText(outcome.imported.columns) + " (" + sourceText(outcome.imported.source) +
         ")、文字コード " + encodingName(outcome.encoding) +
         (plan.reversed ? "、新しい回からの一覧を古い順に直しました" : "") + "\n";
}

std::string importWarningText(const ImportOutcome& outcome) {
  std::string text;
  if (!outcome.plan.missingPresent.empty()) {
    text += "注意: 登録済みの部分の " + drawNumbersText(outcome.plan.missingPresent) +
            "が一覧にありません。\n";
  }
  const ImportedDraws& imported = outcome.imported;
  if (imported.footerFirst != 0) {
    text += "注意: 最後の当選番号より後の " + std::to_string(imported.footerFirst) + " 行目" +
            (imported.footerLast != imported.footerFirst
                 ? "から " + std::to_string(imported.footerLast) + " 行目"
                 : "") +
            "には数がないため、読み飛ばしました。\n";
  }
  return text;
}

}  // namespace kestaro
