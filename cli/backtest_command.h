#ifndef KESTARO_CLI_BACKTEST_COMMAND_H
#define KESTARO_CLI_BACKTEST_COMMAND_H

#include "cli_options.h"

namespace kestaro {

// kestaro-cli backtest: the summary, or with --tickets one row per ticket.
int backtest(const CliOptions& options);

}  // namespace kestaro

#endif
