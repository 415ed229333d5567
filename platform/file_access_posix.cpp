#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <optional>

#include "file_access.h"
#include "posix_files.h"

namespace kestaro {

namespace {

std::optional<std::string> realPathOf(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return std::nullopt;
  std::string resolved(real);
  std::free(real);
  return resolved;
}

bool folderOfExists(const std::string& path) {
  struct stat info {};
  return stat(folderOf(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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

bool writeWholeFile(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool sameFile(const std::string& first, const std::string& second) {
  struct stat one {
  }, other{};
  return stat(first.c_str(), &one) == 0 && stat(second.c_str(), &other) == 0 &&
         sameIdentity(one, other);
}

std::string resolvedPath(const std::string& path) {
  if (std::optional<std::string> real = realPathOf(path)) return *real;
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (std::optional<std::string> folder = realPathOf(folderOf(path)))
    return (*folder == "/" ? "" : *folder) + "/" + name;
  return path;
}

}  // namespace kestaro
