#ifndef KESTARO_CLI_COMMAND_TABLE_H
#define KESTARO_CLI_COMMAND_TABLE_H

#include <string>
#include <vector>

#include "cli_options.h"

namespace kestaro {

// Each command's row, defined beside its handler in its own file
// (history_command.cpp and so on): its options, usage line and handler.
const CommandRow& historyCommand();
const CommandRow& distributionCommand();
const CommandRow& searchCommand();
const CommandRow& bestCommand();
const CommandRow& addCommand();
const CommandRow& importCommand();
const CommandRow& backtestCommand();
const CommandRow& reportCommand();

// The commands of kestaro-cli, in the order the usage lists them.
const std::vector<CommandRow>& commandTable();

// The whole program after its words are known: usage, parsing, the command.
int runCommandLine(const std::vector<std::string>& words);

}  // namespace kestaro

#endif
