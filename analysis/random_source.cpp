#include "random_source.h"

#include <ctime>

namespace kestaro {

std::int64_t systemClock() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace kestaro
