// The commands of kestaro-cli: the window's analysis over the same draw file
// and the same functions, so every text and candidate is the window's. The
// table only lists and dispatches; each command is its own file.
#include "command_table.h"

#include "command_support.h"
#include "console.h"

namespace kestaro {

const std::vector<CommandRow>& commandTable() {
  static const std::vector<CommandRow> table{
      historyCommand(), distributionCommand(), searchCommand(),   bestCommand(),
      addCommand(),     importCommand(),       backtestCommand(), reportCommand(),
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
