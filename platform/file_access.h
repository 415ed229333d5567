#ifndef KESTARO_PLATFORM_FILE_ACCESS_H
#define KESTARO_PLATFORM_FILE_ACCESS_H

#include <cstdint>
#include <cstdio>
#include <string>

namespace kestaro {

// Paths are UTF-8 inside the program on every platform; Windows widens them
// at the call, so any name the file system holds can be opened.

struct OpenedFile {
  std::FILE* file = nullptr;  // null when not opened
  std::uint64_t size = 0;     // when opened
  // Not opened because nothing has that name in a folder that is there: an
  // append would create it.
  bool missing = false;
};

// Opens an existing regular file for binary reading; nothing for anything
// else (missing, no right to read, a folder, a device, a pipe), never waiting
// on a pipe.
OpenedFile openForReading(const std::string& path);

}  // namespace kestaro

#endif
