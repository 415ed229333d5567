#ifndef KESTARO_CLI_COMMANDS_H
#define KESTARO_CLI_COMMANDS_H

#include <optional>
#include <string>
#include <vector>

#include "cli_options.h"

namespace kestaro {

enum Exit { kDone = 0, kBadInput = 1, kFileError = 2, kOutOfReach = 3 };

// What every command does alike: the draw file read once for the whole
// command, or nothing after saying why; the failure of standard output.
std::optional<std::vector<DrawRecord>> drawsOf(const CliOptions& options);
int outputError();

// The commands of kestaro-cli, in the order the usage lists them.
const std::vector<CommandRow>& commandTable();

// The whole program after its words are known: usage, parsing, the command.
int runCommandLine(const std::vector<std::string>& words);

}  // namespace kestaro

#endif
