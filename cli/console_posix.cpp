#include <cstdio>

#include "console.h"

namespace kestaro::console {

void prepare() {}

void out(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void err(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

}  // namespace kestaro::console
