#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_access.h"

namespace kestaro {

namespace {

bool folderOfExists(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

OpenedFile openForReading(const std::string& path) {
  OpenedFile opened;
  // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    opened.missing = errno == ENOENT && folderOfExists(path);
    return opened;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return opened;
  }
  opened.file = fdopen(fd, "rb");
  if (opened.file == nullptr) {
    ::close(fd);
    return opened;
  }
  opened.size = static_cast<std::uint64_t>(info.st_size);
  return opened;
}

}  // namespace kestaro
