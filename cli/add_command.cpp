// kestaro-cli add: one draw typed on the command line, added to the file.
#include <string>
#include <vector>

#include "command_support.h"
#include "command_table.h"
#include "console.h"
#include "draw_file.h"
#include "draw_file_words.h"
#include "import_words.h"
#include "json_output.h"

namespace kestaro {

namespace {

// Why nothing was added to the draw file.
int appendError(const CliOptions& o, const AppendOutcome& outcome) {
  if (outcome.status == AppendStatus::Appended) return kDone;
  console::err(appendFailureText(o.file, outcome));
  return kFileError;
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

}  // namespace

const CommandRow& addCommand() {
  static const CommandRow row{"add",
                              "A,B,C,D,E,Z",
                              {sharedOption("--file"), sharedOption("--format")},
                              "当選番号を 1 回分登録します\n",
                              add};
  return row;
}

}  // namespace kestaro
