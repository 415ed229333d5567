#ifndef KESTARO_PLATFORM_FILE_ACCESS_H
#define KESTARO_PLATFORM_FILE_ACCESS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

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

// Replaces the contents of `path` (created when missing) with `bytes`; false
// unless all of them were written and the file closed without an error.
bool writeWholeFile(const std::string& path, std::string_view bytes);

// The same, but the bytes go to a new file beside it that then takes its
// name, so that a failed write leaves whatever was there before as it was,
// and no new file behind. A file kept keeps its permissions, and one that
// may not be written is refused; a symbolic link stays a link to it. Where that cannot be (a
// device, a pipe, a folder that takes no new file) the bytes are written in place as writeWholeFile
// does.
bool replaceWholeFile(const std::string& path, std::string_view bytes);

// Whether both paths name one file that is there (by device and inode, or by
// volume serial and file index), however they are spelt.
bool sameFile(const std::string& first, const std::string& second);

// The path with every symbolic link followed and made absolute, so that
// every name of one file gives the same; for a missing file its folder's
// path and the name as given; `path` itself when neither can be found.
std::string resolvedPath(const std::string& path);

}  // namespace kestaro

#endif
