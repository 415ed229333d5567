#ifndef KESTARO_CLI_CLI_OPTIONS_H
#define KESTARO_CLI_CLI_OPTIONS_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "draw_import.h"

namespace kestaro {

// What the command line asks for. Options may stand before or after the
// command; values are checked here, files are not touched.
struct CliOptions {
  std::string command;                 // history, distribution, search, best, add, import
  std::vector<std::string> arguments;  // the command's own words
  std::string file = "LOTO.DAT";
  bool help = false;
  bool csv = false;
  int count = 10;
  double threshold = 10;
  std::string thresholdText = "10";  // as typed, for messages
  std::optional<std::uint32_t> seed;
  Columns columns = kDefaultColumns;
  bool dryRun = false;
  bool force = false;
};

// The options, or the reason they are refused (UTF-8).
struct ParsedOptions {
  CliOptions options;
  std::string error;  // empty when the command line is usable
};
ParsedOptions parseOptions(const std::vector<std::string>& words);

}  // namespace kestaro

#endif
