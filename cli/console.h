#ifndef KESTARO_CLI_CONSOLE_H
#define KESTARO_CLI_CONSOLE_H

#include <string>
#include <string_view>
#include <vector>

// The command line's platform services: its words and text out, shown
// correctly in this platform's terminal. Texts are UTF-8; lines end in LF on
// every platform.
namespace kestaro::console {

void prepare();

// The words after the program's name, in UTF-8 whatever the system's code page.
std::vector<std::string> arguments(int argc, char** argv);

// Writes the text and flushes it, so that what is shown is on its way to the
// file or pipe at once. False when it did not all get there, then and for
// every later call. A closed pipe ends the program by SIGPIPE where that is
// not ignored.
bool out(std::string_view utf8);

void err(std::string_view utf8);

}  // namespace kestaro::console

#endif
