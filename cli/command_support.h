#ifndef KESTARO_CLI_COMMAND_SUPPORT_H
#define KESTARO_CLI_COMMAND_SUPPORT_H

#include <cstdint>
#include <optional>
#include <vector>

#include "cli_options.h"
#include "draw_format.h"

namespace kestaro {

enum Exit { kDone = 0, kBadInput = 1, kFileError = 2, kOutOfReach = 3 };

// What every command does alike: the draw file read once for the whole
// command, or nothing after saying why; the failure of standard output.
std::optional<std::vector<DrawRecord>> drawsOf(const CliOptions& options);
int outputError();

// CSV is a table's form: a command that prints no table refuses it, saying so.
bool refusesCsv(const CliOptions& options);

// The exit of a command whose draws are stored whether or not standard
// output took its report: a refused write cannot undo them.
int reportStored(bool written);

// The seed --seed gives, or else the clock's, which is named on standard
// error so that the run can be repeated.
std::uint32_t seedOf(const CliOptions& options);

}  // namespace kestaro

#endif
