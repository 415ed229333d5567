// kestaro-cli import: a published list of draws, the new ones added.
#include <cstddef>
#include <string>

#include "command_support.h"
#include "command_table.h"
#include "console.h"
#include "import_file.h"
#include "import_words.h"
#include "json_output.h"
#include "text_encoding.h"

namespace kestaro {

namespace {

// Six column numbers; the reason when they are refused.
std::string columnList(const std::string& text, Columns& columns) {
  const char* refused = "--columns は 1 から始まる列番号 6 つです (例: 3,4,5,6,7,8)";
  std::size_t start = 0;
  for (int i = 0; i < 6; ++i) {
    const std::size_t end = text.find(',', start);
    if ((end == std::string::npos) != (i == 5)) return refused;
    const WholeNumber column =
        wholeNumber(text.substr(start, end == std::string::npos ? end : end - start), kMostInt);
    if (column.tooLarge) return tooLargeText("--columns の列番号", kMostInt);
    if (!column.value || *column.value < 1) return refused;
    columns[i] = static_cast<int>(*column.value);
    start = end + 1;
  }
  return "";
}

std::string storeColumns(CliOptions& o, const std::string& value) {
  Columns columns{};
  std::string error = columnList(value, columns);
  if (error.empty()) o.columns = columns;
  return error;
}

std::string storeDryRun(CliOptions& o, const std::string&) {
  o.dryRun = true;
  return "";
}

std::string storeForce(CliOptions& o, const std::string&) {
  o.force = true;
  return "";
}

const OptionRow kColumns{"--columns", "a,b,c,d,e,z", nullptr, storeColumns};
const OptionRow kDryRun{"--dry-run", nullptr, nullptr, storeDryRun};
const OptionRow kForce{"--force", nullptr, nullptr, storeForce};

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

const CommandRow& importCommand() {
  static const CommandRow row{
      "import",
      "FILE",
      {&kColumns, &kDryRun, &kForce, sharedOption("--file"), sharedOption("--format")},
      "公表された当選番号の一覧 (CSV、タブ区切り、空白区切り) から\n"
      "まだ登録されていない回を追加します\n",
      import};
  return row;
}

}  // namespace kestaro
