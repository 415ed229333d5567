#include <cstdio>

#include "console.h"

namespace kestaro::console {

void prepare() {}

std::vector<std::string> arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool out(std::string_view utf8) {
  if (std::ferror(stdout)) return false;
  const bool written = std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size();
  return std::fflush(stdout) == 0 && written && !std::ferror(stdout);
}

void err(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

}  // namespace kestaro::console
