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

// What a closed pipe does to a write: end the program by SIGPIPE where the
// caller did not ignore that signal, as Unix tools end; or, once the work is
// stored, only fail the write.
enum class ClosedPipe { EndsTheProgram, FailsTheWrite };

// Writes the text and flushes it, so that what is shown is on its way to the
// file or pipe at once. False when it did not all get there, then and for
// every later call.
bool out(std::string_view utf8, ClosedPipe closedPipe = ClosedPipe::EndsTheProgram);

// The same for a document that names its own encoding: its bytes as they
// are, on every platform and to a console too.
bool outBytes(std::string_view bytes);

void err(std::string_view utf8);

// Whether standard error is a terminal, where progress may be shown.
bool errIsTerminal();

}  // namespace kestaro::console

#endif
