#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <optional>
#include <string>

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

namespace {

// Every byte to `fd`, through short writes and signals.
bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool replaceWholeFile(const std::string& path, std::string_view bytes) {
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return writeWholeFile(path, bytes);
  // The rename would replace a page the user may not write: refused, as a
  // write in place would be.
  if (exists && ::access(path.c_str(), W_OK) != 0) return false;
  const std::string target = exists ? resolvedPath(path) : path;
  const std::size_t slash = target.find_last_of('/');
  const std::string stem = target.substr(0, slash + 1) + "." + target.substr(slash + 1) +
                           ".kestaro-" + std::to_string(::getpid()) + "-";
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = stem + std::to_string(attempt);
    // 0666 as fopen creates: the umask decides for a new page.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return writeWholeFile(path, bytes);
  if (exists) (void)::fchmod(fd, existing.st_mode & 07777);
  bool replaced = writeAll(fd, bytes);
  replaced = ::close(fd) == 0 && replaced;
  replaced = replaced && std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!replaced) ::unlink(temporary.c_str());
  return replaced;
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
