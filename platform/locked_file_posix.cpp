#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "locked_file.h"

namespace kestaro {

static_assert(sizeof(off_t) >= sizeof(kLockOffset), "the lock's offset needs 64-bit file offsets");

namespace {

// An open-file-description lock: it conflicts with the POSIX record locks by
// which Wine's server mirrors LockFileEx, and with any other description's
// lock in this very process, and unlike a record lock it is not dropped when
// the process closes another descriptor of the file.
bool tryLock(int fd, short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(kLockOffset);
  range.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &range) == 0;
}

bool isRegular(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Opens `path`, creating it when missing, and tells whether this call made
// it: an existing file is opened without O_CREAT, a missing one with O_EXCL.
int openOrCreate(const std::string& path, int flags, bool& created) {
  created = false;
  int fd = ::open(path.c_str(), flags);
  if (fd >= 0 || errno != ENOENT) return fd;
  fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
  if (fd >= 0 || errno != EEXIST) {
    created = fd >= 0;
    return fd;
  }
  // Made by another writer meanwhile, or a link to a missing file, which
  // O_EXCL never follows: told as made, which costs one folder sync at most.
  fd = ::open(path.c_str(), flags | O_CREAT, 0666);
  created = fd >= 0;
  return fd;
}

bool syncDescriptor(int fd) {
  for (;;) {
    if (::fsync(fd) == 0) return true;
    if (errno != EINTR) return false;
  }
}

}  // namespace

// O_APPEND: every write lands at the end, whatever else writes the file.
LockedFile::LockedFile(const std::string& path, int waitMs) : handle_(-1) {
  // Opened here rather than above: created_ is set after handle_ is.
  handle_ = openOrCreate(path, O_RDWR | O_APPEND | O_NONBLOCK | O_CLOEXEC, created_);
  const int fd = static_cast<int>(handle_);
  if (fd < 0 || !isRegular(fd)) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (!tryLock(fd, F_WRLCK)) {
    if (errno != EAGAIN && errno != EACCES) return;
    if (std::chrono::steady_clock::now() > deadline) {
      state_ = State::Busy;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  state_ = State::Held;
}

LockedFile::~LockedFile() {
  if (handle_ < 0) return;
  if (state_ == State::Held) tryLock(static_cast<int>(handle_), F_UNLCK);
  ::close(static_cast<int>(handle_));
}

std::uint64_t LockedFile::size() const {
  struct stat info {};
  if (fstat(static_cast<int>(handle_), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}

std::int64_t LockedFile::read(char* data, std::size_t count) {
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), data, count);
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool LockedFile::append(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(static_cast<int>(handle_), text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool LockedFile::cutBack(std::uint64_t length) {
  return ftruncate(static_cast<int>(handle_), static_cast<off_t>(length)) == 0;
}

bool LockedFile::sync() {
  return syncDescriptor(static_cast<int>(handle_));
}

bool LockedFile::namedBy(const std::string& path) const {
  struct stat mine {
  }, named{};
  return fstat(static_cast<int>(handle_), &mine) == 0 && stat(path.c_str(), &named) == 0 &&
         mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

RecordFile::RecordFile(const std::string& path)
    : handle_(::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666)) {
  if (handle_ >= 0 && !isRegular(static_cast<int>(handle_))) {
    ::close(static_cast<int>(handle_));
    handle_ = -1;
  }
}

RecordFile::~RecordFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool RecordFile::opened() const {
  return handle_ >= 0;
}

std::int64_t RecordFile::readFromStart(char* data, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got =
        ::pread(static_cast<int>(handle_), data + done, count - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

bool RecordFile::writeFromStart(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::pwrite(static_cast<int>(handle_), bytes.data() + done,
                                     bytes.size() - done, static_cast<off_t>(done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

bool RecordFile::sync() {
  return syncDescriptor(static_cast<int>(handle_));
}

bool syncFolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = syncDescriptor(fd);
  // Some file systems cannot sync a folder at all; there is nothing more to do.
  if (!synced && errno == EINVAL) synced = true;
  ::close(fd);
  return synced;
}

}  // namespace kestaro
