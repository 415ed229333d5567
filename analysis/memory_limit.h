#ifndef KESTARO_ANALYSIS_MEMORY_LIMIT_H
#define KESTARO_ANALYSIS_MEMORY_LIMIT_H

#include <new>
#include <stdexcept>

namespace kestaro {

// Runs `work`; false when it runs out of memory, which for a reader means
// the file is too large, never an abort.
template <typename Work>
bool fitsInMemory(Work&& work) {
  try {
    work();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

}  // namespace kestaro

#endif
