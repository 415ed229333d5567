#ifndef KESTARO_CLI_REPORT_COMMAND_H
#define KESTARO_CLI_REPORT_COMMAND_H

#include "cli_options.h"

namespace kestaro {

// kestaro-cli report: the history's page, written to --out (or standard
// output), with the backtest's section when --backtest asks for it.
int report(const CliOptions& options);

}  // namespace kestaro

#endif
