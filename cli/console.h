#ifndef KESTARO_CLI_CONSOLE_H
#define KESTARO_CLI_CONSOLE_H

#include <string_view>

// The command line's platform services: text out, shown correctly in this
// platform's terminal. Texts are UTF-8; lines end in LF on every platform.
namespace kestaro::console {

void prepare();
void out(std::string_view utf8);
void err(std::string_view utf8);

}  // namespace kestaro::console

#endif
