// The commands of kestaro-cli: the window's analysis over the same draw file
// and the same functions, so every text and candidate is the window's.
#include "commands.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "backtest_command.h"
#include "candidate_search.h"
#include "console.h"
#include "draw_file.h"
#include "draw_file_words.h"
#include "import_file.h"
#include "import_words.h"
#include "json_output.h"
#include "report_command.h"
#include "score_table.h"
#include "tabulation.h"
#include "text_format.h"

namespace kestaro {

int outputError() {
  console::err("標準出力に書き込めませんでした。\n");
  return kFileError;
}

std::optional<std::vector<DrawRecord>> drawsOf(const CliOptions& o) {
  DrawFileRead read = readDrawFile(o.file.c_str());
  if (read.status != ReadStatus::Read) {
    console::err(readFailureText(o.file, read.status));
    return std::nullopt;
  }
  return std::move(read.draws);
}

namespace {

// Why nothing was added to the draw file.
int appendError(const CliOptions& o, const AppendOutcome& outcome) {
  if (outcome.status == AppendStatus::Appended) return kDone;
  console::err(appendFailureText(o.file, outcome));
  return kFileError;
}

// The report of draws already stored: a refused write cannot undo them, and
// the exit code tells that they are stored.
int reportStored(bool written) {
  if (!written) console::err("標準出力に書き込めませんでした。当選番号の追加は済んでいます。\n");
  return kDone;
}

// CSV is a table's form: a command that prints no table refuses it.
bool refusesCsv(const CliOptions& o) {
  if (o.format != OutputFormat::Csv) return false;
  console::err("--format csv は " + o.command + " には使えません (tsv か json です)\n");
  return true;
}

// The list's rows as the window shows them, written in blocks so that a long
// listing needs no more memory than a block; after a refused write nothing
// more is written. In JSON each row is an object, its cells numbers; AVG only
// for a table that has it.
class RowPrinter : public Display {
 public:
  RowPrinter(OutputFormat format, bool average)
      : format_(format),
        average_(average),
        text_(format == OutputFormat::Csv ? "No,A,B,C,D,E,Z,AVG\n" : "") {}
  void clearRows() override {}
  void addRow(int row, const std::string& text) override {
    endRow();
    row_ = row;
    seed_.reset();
    cells_.assign(8, "");
    cells_[0] = format_ == OutputFormat::Text ? text : std::to_string(row + 1);
  }
  void setCell(int, int column, const std::string& text) override {
    std::string cell = text;
    if (format_ != OutputFormat::Text && column == 7 && !cell.empty() && cell.back() == '%')
      cell.pop_back();
    cells_[static_cast<std::size_t>(column)] = cell;
  }
  void setCaption(const std::string&) override {}
  void endOfSearch() override {}

  // The clock seed that chose the row's candidate, which JSON names.
  void setSeed(std::uint32_t seed) { seed_ = seed; }

  // Writes every row so far; false when standard output refused any.
  bool flush() {
    endRow();
    write();
    return written_;
  }
  // The same, and the end of the listing.
  bool finish() {
    endRow();
    if (format_ == OutputFormat::Json) text_ += jsonArrayEndText(rows_ == 0);
    write();
    return written_;
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;

  void write() {
    if (written_ && !text_.empty()) written_ = console::out(text_);
    text_.clear();
  }
  void endRow() {
    if (cells_.empty()) return;
    if (format_ == OutputFormat::Json) {
      text_ += jsonElementText(rowObject(), rows_ == 0);
    } else {
      text_ += cells_[0];
      const char* separator = format_ == OutputFormat::Csv ? "," : "\t";
      for (std::size_t i = 1; i < cells_.size(); ++i) text_ += separator + cells_[i];
      text_ += "\n";
    }
    ++rows_;
    cells_.clear();
    if (text_.size() >= kBlock) write();
  }
  Json rowObject() const {
    static const char* const kNames[] = {"A", "B", "C", "D", "E", "Z", "AVG"};
    Json row;
    row["no"] = row_ + 1;
    if (seed_) row["seed"] = *seed_;
    for (std::size_t column = 1; column <= (average_ ? 7u : 6u); ++column)
      row[kNames[column - 1]] = shownNumber(cells_[column]);
    return row;
  }

  OutputFormat format_;
  bool average_;
  bool written_ = true;
  std::string text_;
  std::vector<std::string> cells_;
  int row_ = 0;
  std::optional<std::uint32_t> seed_;
  std::size_t rows_ = 0;
};

int history(const CliOptions& o) {
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  RowPrinter printer(o.format, false);
  showHistory(*draws, printer);
  return printer.finish() ? kDone : outputError();
}

int distribution(const CliOptions& o) {
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  RowPrinter printer(o.format, true);
  showDistribution(*draws, printer);
  return printer.finish() ? kDone : outputError();
}

// Candidate k is the window's candidate for clock seed S + k.
int search(const CliOptions& o) {
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  const ScoreTable scores = scoreTableOf(*draws);
  const double reachable = maxScore(scores);
  if (o.threshold > reachable) {
    console::err("出現率 " + o.thresholdText + "% に届く組合せはありません。最高は " +
                 formatPercent(reachable) + " (" + formatExact(reachable) + ") です。\n");
    return kOutOfReach;
  }
  std::uint32_t seed = o.seed ? *o.seed : static_cast<std::uint32_t>(std::time(nullptr));
  if (!o.seed)
    console::err("シード: " + std::to_string(seed) + " (--seed で同じ結果を再現できます)\n");
  RowPrinter printer(o.format, true);
  CandidateGenerator generator(scores);
  for (int k = 0; k < o.count; ++k) {
    const std::uint32_t clock = seed + static_cast<std::uint32_t>(k);
    generator.seed(clock);
    const std::optional<Candidate> candidate = generator.generate(o.threshold, reachable);
    printer.addRow(k, formatCandidateLabel(k + 1));
    printer.setSeed(clock);
    showCandidate(printer, k, *candidate);
    // Each candidate as soon as it is found: an interrupted search keeps them.
    if (!printer.flush()) return outputError();
  }
  // The CSV header, or JSON's end, of a search for none too.
  return printer.finish() ? kDone : outputError();
}

int best(const CliOptions& o) {
  if (refusesCsv(o)) return kBadInput;
  const std::optional<std::vector<DrawRecord>> draws = drawsOf(o);
  if (!draws) return kFileError;
  const ScoreTable scores = scoreTableOf(*draws);
  const double reachable = maxScore(scores);
  if (o.format == OutputFormat::Json) {
    Json value;
    value["best"] = formatPercent(reachable);
    value["bestExact"] = reachable;
    value["threshold"] = o.threshold;
    value["reaching"] = countReaching(scores, o.threshold);
    value["combinations"] = kCombinations;
    return printJson(value) ? kDone : outputError();
  }
  const bool written =
      console::out("最高の出現率: " + formatPercent(reachable) + " (" + formatExact(reachable) +
                   ")\n" + "出現率 " + o.thresholdText +
                   "% 以上の組合せ: " + std::to_string(countReaching(scores, o.threshold)) + " / " +
                   std::to_string(kCombinations) + "\n");
  return written ? kDone : outputError();
}

int add(const CliOptions& o) {
  if (refusesCsv(o)) return kBadInput;
  const ParsedDraw parsed = parseDrawText(o.arguments[0]);
  if (parsed.problem) {
    console::err("1 行目: " + problemText(*parsed.problem) + ": " + o.arguments[0] + "\n");
    return kBadInput;
  }
  const AppendOutcome outcome = appendDraws(
      [&](const std::vector<DrawRecord>&) { return std::vector<DrawRecord>{parsed.draw}; },
      o.file.c_str());
  if (outcome.status != AppendStatus::Appended || o.format != OutputFormat::Json) {
    return appendError(o, outcome);
  }
  Json value;
  value["appended"] = 1;
  return reportStored(printJson(value, console::ClosedPipe::FailsTheWrite));
}

// The summary's "(--columns)", "(見出しから)" and so on, as words a program reads.
const char* columnSourceName(ColumnSource source) {
  switch (source) {
    case ColumnSource::Option:
      return "option";
    case ColumnSource::Header:
      return "header";
    case ColumnSource::ResultsPage:
      return "resultsPage";
    case ColumnSource::Default:
      return "default";
  }
  return "";
}

// The summary and the warnings, a warning a line as on standard error.
Json importJson(const ImportOutcome& outcome) {
  Json value;
  value["read"] = outcome.imported.draws.size();
  value["skipped"] = outcome.plan.skipped;
  value["appended"] = outcome.plan.added.size();  // a dry run: would be
  value["columns"] = outcome.imported.columns;
  value["columnSource"] = columnSourceName(outcome.imported.source);
  value["encoding"] = encodingName(outcome.encoding);
  Json warnings = Json::array();
  const std::string text = importWarningText(outcome);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) warnings.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  value["warnings"] = warnings;
  value["newestFirst"] = outcome.plan.reversed;  // turned round before planning
  return value;
}

// A dry run reads the draw file as the real run does and refuses what it
// would refuse, but takes no lock and writes nothing.
int import(const CliOptions& o) {
  if (refusesCsv(o)) return kBadInput;
  const ImportRequest request{o.arguments[0], o.file, o.columns, o.force};
  const ImportOutcome outcome = o.dryRun ? planImportFile(request) : applyImportFile(request);
  switch (outcome.stop) {
    case ImportOutcome::Stop::None:
      break;
    case ImportOutcome::Stop::ListUnreadable:
    case ImportOutcome::Stop::DrawFile:
      console::err(importRefusalText(request, outcome));
      return kFileError;
    default:
      console::err(importRefusalText(request, outcome));
      if (forceWouldTake(outcome))
        console::err("それでも追加するには --force を付けてください。\n");
      return kBadInput;
  }
  console::err(importWarningText(outcome));
  const console::ClosedPipe closedPipe =
      o.dryRun ? console::ClosedPipe::EndsTheProgram : console::ClosedPipe::FailsTheWrite;
  const bool written = o.format == OutputFormat::Json
                           ? printJson(importJson(outcome), closedPipe)
                           : console::out(importSummaryText(outcome, o.dryRun), closedPipe);
  if (written) return kDone;
  if (o.dryRun) return outputError();
  return reportStored(false);
}

}  // namespace

const std::vector<CommandRow>& commandTable() {
  static const std::vector<CommandRow> table{
      {"history", "", {"--file", "--format"}, "当選番号履歴を表示します\n", history},
      {"distribution", "", {"--file", "--format"}, "当選番号分布を表示します\n", distribution},
      {"search",
       "",
       {"--count", "--threshold", "--seed", "--file", "--format"},
       "出現率が P%以上の組合せを N 個探します (既定 10 個、10%)\n",
       search},
      {"best",
       "",
       {"--threshold", "--file", "--format"},
       "到達できる最高の出現率と、P%に届く組合せの数を表示します\n",
       best},
      {"add", "A,B,C,D,E,Z", {"--file", "--format"}, "当選番号を 1 回分登録します\n", add},
      {"import",
       "FILE",
       {"--columns", "--dry-run", "--force", "--file", "--format"},
       "公表された当選番号の一覧 (CSV、タブ区切り、空白区切り) から\n"
       "まだ登録されていない回を追加します\n",
       import},
      {"backtest",
       "",
       {"--from", "--count", "--threshold", "--seed", "--tickets", "--jobs", "--file", "--format"},
       "第 T 回 (既定 2) から最後の回まで、各回その前の回だけで N 枚\n"
       "(既定 10) 選び、当たりを公正な抽選の期待値と比べます\n"
       "(--tickets: 券ごとの行、--jobs: スレッドの数、既定はコアの数)\n",
       backtest},
      {"report",
       "",
       {"--out", "--backtest", "--from", "--count", "--threshold", "--seed", "--jobs", "--file"},
       "履歴を 1 枚の HTML ページにします: 分布と公正な抽せんの期待値、\n"
       "最近の出方、出現率ごとの組合せの数 (既定 kestaro-report.html、\n"
       "-: 標準出力。--backtest: バックテストも、その --from などで)\n",
       report},
  };
  return table;
}

int runCommandLine(const std::vector<std::string>& words) {
  const std::vector<CommandRow>& commands = commandTable();
  const ParsedOptions parsed = parseOptions(words, commands);
  if (parsed.options.help) return console::out(usageText(commands)) ? kDone : outputError();
  if (!parsed.error.empty()) {
    console::err(parsed.error + "\n" + usageText(commands));
    return kBadInput;
  }
  return parsed.command->run(parsed.options);
}

}  // namespace kestaro
