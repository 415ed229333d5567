#ifndef KESTARO_CLI_CLI_OPTIONS_H
#define KESTARO_CLI_CLI_OPTIONS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "draw_file.h"
#include "results_parser.h"

namespace kestaro {

// How a command writes its result: the window's texts (a table's cells
// joined by tabs), CSV (tables only) or JSON.
enum class OutputFormat { Text, Csv, Json };

// What the command line asks for. Options may stand before or after the
// command; values are checked here, files are not touched.
struct CliOptions {
  std::string command;                 // the command row's name
  std::vector<std::string> arguments;  // the command's own words
  std::string file = kDrawFileName;
  bool help = false;
  OutputFormat format = OutputFormat::Text;
  int count = 10;
  double threshold = 10;
  std::string thresholdText = "10";  // as typed, for messages
  std::optional<std::uint32_t> seed;
  std::optional<Columns> columns;  // when given: they decide
  bool dryRun = false;
  bool force = false;
  int from = 2;             // the backtest's first target
  std::optional<int> jobs;  // when not given: the machine's cores
  bool tickets = false;
  std::string out = "kestaro-report.html";  // "-": standard output
  bool backtest = false;                    // the report's own section
  std::vector<std::string> given;           // the options named, in order
};

// One option. A flag has no value name; its value is empty when stored.
struct OptionRow {
  const char* name;       // "--count"
  const char* valueName;  // "N" in the usage; nullptr for a flag
  // Its line under "オプション:" in the usage; nullptr for an option that its
  // commands' lines show, whose meaning their descriptions tell.
  const char* help;
  // Checks and stores the value; the reason when it is refused (UTF-8).
  std::string (*store)(CliOptions& options, const std::string& value);
};

// The options several commands take: --file, --format, --count,
// --threshold, --seed, --from and --jobs. An option of one command alone is
// that command's own row, beside its handler.
const OptionRow* sharedOption(const std::string& name);

// One command: what the parser, the usage and the dispatch know of it.
struct CommandRow {
  const char* name;
  const char* arguments;  // its words as the usage shows them, space-separated; "" for none
  std::vector<const OptionRow*> options;  // the options it accepts, in the usage's order
  const char* help;                       // its description; lines end in '\n'
  int (*run)(const CliOptions& options);
};

// The row of that name among the commands' options; nullptr when none has it.
const OptionRow* findOption(const std::vector<CommandRow>& commands, const std::string& name);

// A whole number in decimal digits alone, or why not: too large for the
// option (above `most`), or no such number at all.
struct WholeNumber {
  std::optional<std::int64_t> value;
  bool tooLarge = false;
};
WholeNumber wholeNumber(const std::string& text, std::int64_t most);
inline constexpr std::int64_t kMostInt = INT32_MAX;

// `what` names the value: "--count ", "--columns の列番号".
std::string tooLargeText(const std::string& what, std::int64_t most);

// How many words a command takes: those of its `arguments`.
std::size_t argumentCount(const CommandRow& command);

// The options and their command, or the reason they are refused (UTF-8).
struct ParsedOptions {
  CliOptions options;
  const CommandRow* command = nullptr;  // set when the line is usable and asks no help
  std::string error;                    // empty when the command line is usable
};
ParsedOptions parseOptions(const std::vector<std::string>& words,
                           const std::vector<CommandRow>& commands);

// The usage text, every command and option from the commands' rows (UTF-8).
std::string usageText(const std::vector<CommandRow>& commands);

}  // namespace kestaro

#endif
