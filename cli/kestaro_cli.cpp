// kestaro-cli: the window's analysis on the command line, over the same
// draw file and the same functions, so every text and candidate is the
// window's.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "candidate_search.h"
#include "cli_options.h"
#include "console.h"
#include "draw_import.h"
#include "frequency_table.h"
#include "text_format.h"

namespace kestaro {

namespace {

enum Exit { kDone = 0, kBadInput = 1, kFileError = 2, kOutOfReach = 3 };

const char kUsage[] =
    "使い方: kestaro-cli コマンド [オプション]\n"
    "\n"
    "コマンド:\n"
    "  history                      当選番号履歴を表示します\n"
    "  distribution                 当選番号分布を表示します\n"
    "  search [--count N] [--threshold P] [--seed S]\n"
    "                               出現率が P%以上の組合せを N 個探します (既定 10 個、10%)\n"
    "  best [--threshold P]         到達できる最高の出現率と、P%に届く組合せの数を表示します\n"
    "  add A,B,C,D,E,Z              当選番号を 1 回分登録します\n"
    "  import FILE [--columns a,b,c,d,e,z] [--dry-run] [--force]\n"
    "                               公表された当選番号の一覧 (CSV またはタブ区切り) から\n"
    "                               まだ登録されていない回を追加します\n"
    "\n"
    "オプション:\n"
    "  --file PATH     当選番号ファイル (既定: 現在のフォルダの LOTO.DAT)\n"
    "  --format csv    CSV で出力します (既定はタブ区切り)\n"
    "\n"
    "終了コード: 0 成功、1 使い方または入力の誤り、2 ファイルの誤り、3 出現率に届かない\n";

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
  }
  return "";
}

int fileError(const CliOptions& o, const char* what) {
  console::err(o.file + what);
  return kFileError;
}

// The list's rows as the window shows them, held until print() writes them,
// so that nothing is printed for a file that could not be read.
class RowPrinter : public Display {
 public:
  explicit RowPrinter(bool csv) : csv_(csv), text_(csv ? "No,A,B,C,D,E,Z,AVG\n" : "") {}
  void clearRows() override {}
  void addRow(int row, const std::string& text) override {
    endRow();
    cells_.assign(8, "");
    cells_[0] = csv_ ? std::to_string(row + 1) : text;
  }
  void setCell(int, int column, const std::string& text) override {
    std::string cell = text;
    if (csv_ && column == 7 && !cell.empty() && cell.back() == '%') cell.pop_back();
    cells_[static_cast<std::size_t>(column)] = cell;
  }
  void setCaption(const std::string&) override {}
  void endOfSearch() override {}

  // Writes every row so far.
  void print() {
    endRow();
    console::out(text_);
    text_.clear();
  }

 private:
  void endRow() {
    if (cells_.empty()) return;
    text_ += cells_[0];
    for (std::size_t i = 1; i < cells_.size(); ++i) text_ += (csv_ ? "," : "\t") + cells_[i];
    text_ += "\n";
    cells_.clear();
  }
  bool csv_;
  std::string text_;
  std::vector<std::string> cells_;
};

int tabulate(const CliOptions& o, TabulationMode mode) {
  RowPrinter printer(o.csv);
  if (!showTabulation(mode, printer, o.file.c_str())) return fileError(o, " を読めません\n");
  printer.print();
  return kDone;
}

std::optional<ScoreTable> scoresOf(const CliOptions& o) {
  std::optional<std::vector<DrawRecord>> draws = readDraws(o.file.c_str());
  if (!draws) return std::nullopt;
  return scoreTableOf(*draws);
}

std::string exactText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// Candidate k is the window's candidate for clock seed S + k.
int search(const CliOptions& o) {
  const std::optional<ScoreTable> scores = scoresOf(o);
  if (!scores) return fileError(o, " を読めません\n");
  const double reachable = maxScore(*scores);
  if (o.threshold > reachable) {
    console::err("出現率 " + o.thresholdText + "% に届く組合せはありません。最高は " +
                 formatPercent(reachable) + " (" + exactText(reachable) + ") です。\n");
    return kOutOfReach;
  }
  std::uint32_t seed = o.seed ? *o.seed : static_cast<std::uint32_t>(std::time(nullptr));
  if (!o.seed)
    console::err("シード: " + std::to_string(seed) + " (--seed で同じ結果を再現できます)\n");
  RowPrinter printer(o.csv);
  CandidateGenerator generator(*scores);
  for (int k = 0; k < o.count; ++k) {
    generator.seed(seed + static_cast<std::uint32_t>(k));
    const std::optional<Candidate> candidate = generator.generate(o.threshold, reachable);
    printer.addRow(k, formatCandidateLabel(k + 1));
    showCandidate(printer, k, *candidate);
    printer.print();  // each candidate as soon as it is found
  }
  printer.print();  // the CSV header of a search for no candidate
  return kDone;
}

int best(const CliOptions& o) {
  const std::optional<ScoreTable> scores = scoresOf(o);
  if (!scores) return fileError(o, " を読めません\n");
  const double reachable = maxScore(*scores);
  console::out("最高の出現率: " + formatPercent(reachable) + " (" + exactText(reachable) + ")\n");
  console::out("出現率 " + o.thresholdText +
               "% 以上の組合せ: " + std::to_string(countReaching(*scores, o.threshold)) + " / " +
               std::to_string(kCombinations) + "\n");
  return kDone;
}

int appendResult(const CliOptions& o, AppendStatus status) {
  if (status == AppendStatus::NotOpened) return fileError(o, " を開けません\n");
  if (status == AppendStatus::Failed) {
    return fileError(o, " に書き込めませんでした。ファイルは元のままです。\n");
  }
  return kDone;
}

int add(const CliOptions& o) {
  const ParsedDraw parsed = parseDrawText(o.arguments[0]);
  if (parsed.problem) {
    console::err("1 行目: " + problemText(*parsed.problem) + ": " + o.arguments[0] + "\n");
    return kBadInput;
  }
  return appendResult(
      o, appendDraws(
             [&](const std::vector<DrawRecord>&) { return std::vector<DrawRecord>{parsed.draw}; },
             o.file.c_str()));
}

struct ImportCounts {
  std::size_t skipped = 0;
  std::size_t appended = 0;
  bool disjoint = false;  // refused: no overlap with a non-empty file
};

// The draws of `imported` that follow the overlap with `present`.
std::vector<DrawRecord> newDraws(const CliOptions& o, const std::vector<DrawRecord>& present,
                                 const std::vector<DrawRecord>& imported, ImportCounts& counts) {
  counts.skipped = overlapLength(present, imported);
  counts.disjoint = !present.empty() && counts.skipped == 0 && !imported.empty() && !o.force;
  if (counts.disjoint) return {};
  std::vector<DrawRecord> added(imported.begin() + static_cast<std::ptrdiff_t>(counts.skipped),
                                imported.end());
  counts.appended = added.size();
  return o.dryRun ? std::vector<DrawRecord>{} : added;
}

int import(const CliOptions& o) {
  const std::optional<std::string> bytes = readFileBytes(o.arguments[0].c_str());
  if (!bytes) {
    console::err(o.arguments[0] + " を読めません\n");
    return kFileError;
  }
  const ImportedDraws imported = parseImport(*bytes, o.columns);
  if (imported.badLine != 0) {
    console::err(std::to_string(imported.badLine) + " 行目: " + problemText(imported.problem) +
                 "。何も追加していません。\n");
    return kBadInput;
  }
  ImportCounts counts;
  AppendStatus status = AppendStatus::Appended;
  if (o.dryRun) {
    const auto present = readDraws(o.file.c_str());
    newDraws(o, present.value_or(std::vector<DrawRecord>{}), imported.draws, counts);
  } else {
    status = appendDraws(
        [&](const std::vector<DrawRecord>& present) {
          return newDraws(o, present, imported.draws, counts);
        },
        o.file.c_str());
  }
  if (status != AppendStatus::Appended) return appendResult(o, status);
  if (counts.disjoint) {
    console::err(o.file + " の末尾と " + o.arguments[0] +
                 " の先頭に同じ回がありません。古い回の誤りで二重に登録しないよう、"
                 "何も追加していません。それでも追加するには --force を付けてください。\n");
    return kBadInput;
  }
  console::out("読み込み " + std::to_string(imported.draws.size()) + " 回、登録済みで省略 " +
               std::to_string(counts.skipped) + " 回、" + (o.dryRun ? "追加予定 " : "追加 ") +
               std::to_string(counts.appended) + " 回\n");
  return kDone;
}

int run(const CliOptions& o) {
  if (o.command == "history") return tabulate(o, TabulationMode::History);
  if (o.command == "distribution") return tabulate(o, TabulationMode::Distribution);
  if (o.command == "search") return search(o);
  if (o.command == "best") return best(o);
  if (o.command == "add") return add(o);
  return import(o);
}

}  // namespace

}  // namespace kestaro

int main(int argc, char** argv) {
  using namespace kestaro;
  console::prepare();
  const ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.options.help) {
    console::out(kUsage);
    return kDone;
  }
  if (!parsed.error.empty()) {
    console::err(parsed.error + "\n" + kUsage);
    return kBadInput;
  }
  return run(parsed.options);
}
