#include <cerrno>
#include <csignal>
#include <cstdio>

#include <unistd.h>

#include "console.h"

namespace kestaro::console {

namespace {

// Whether a closed pipe should end the program by its signal, as the caller
// had it; where the caller ignores SIGPIPE, a closed pipe is a write error.
bool endByPipeSignal = true;

}  // namespace

void prepare() {
  // A file-size limit must fail the write, never kill the program between
  // an append and its cut-back.
  std::signal(SIGXFSZ, SIG_IGN);
  // Closed pipes are seen at the write instead, so that an import that has
  // stored its draws is not killed by its report.
  endByPipeSignal = std::signal(SIGPIPE, SIG_IGN) != SIG_IGN;
}

std::vector<std::string> arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool out(std::string_view utf8, ClosedPipe closedPipe) {
  if (std::ferror(stdout)) return false;
  errno = 0;
  const bool written = std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size();
  if (std::fflush(stdout) == 0 && written && !std::ferror(stdout)) return true;
  if (errno == EPIPE && endByPipeSignal && closedPipe == ClosedPipe::EndsTheProgram) {
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
  }
  return false;
}

bool outBytes(std::string_view bytes) {
  return out(bytes);
}

void err(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

bool errIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace kestaro::console
