#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "locked_file.h"
#include "posix_files.h"

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
         sameIdentity(mine, named);
}

namespace {

KeptFileState stateOfError(int error, bool readOnly) {
  switch (error) {
    case ELOOP:
      return KeptFileState::Link;
    case EISDIR:
      return KeptFileState::Folder;
    case ENXIO:  // a socket, or a device with nothing behind it
      return KeptFileState::NotRegular;
    case ENOENT:
      return readOnly ? KeptFileState::Missing : KeptFileState::NotOpened;
    default:
      return KeptFileState::NotOpened;
  }
}

KeptFileState stateOfOpened(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return KeptFileState::NotOpened;
  if (S_ISDIR(info.st_mode)) return KeptFileState::Folder;
  if (!S_ISREG(info.st_mode)) return KeptFileState::NotRegular;
  return info.st_nlink > 1 ? KeptFileState::OtherNames : KeptFileState::Usable;
}

// O_NOFOLLOW: a link planted under the record's name would have the record
// written over the file it points to.
int openKept(const std::string& path, bool readOnly) {
  const int flags = (readOnly ? O_RDONLY : O_RDWR) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd = ::open(path.c_str(), flags);
  if (fd >= 0 || errno != ENOENT || readOnly) return fd;
  fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
  // Made by another writer meanwhile, or a dangling link, which O_EXCL
  // never follows and the plain open then refuses.
  if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), flags);
  return fd;
}

}  // namespace

RecordFile::RecordFile(const std::string& path, Mode mode) : handle_(-1) {
  const bool readOnly = mode == Mode::ReadOnly;
  const int fd = openKept(path, readOnly);
  if (fd < 0) {
    state_ = stateOfError(errno, readOnly);
    return;
  }
  state_ = stateOfOpened(fd);
  if (state_ == KeptFileState::Usable) {
    handle_ = fd;
  } else {
    ::close(fd);
  }
}

RecordFile::~RecordFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::int64_t RecordFile::readAt(std::uint64_t offset, char* data, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(static_cast<int>(handle_), data + done, count - done,
                                static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

namespace {

bool writeAt(int fd, std::uint64_t offset, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written =
        ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool RecordFile::replace(std::string_view first, std::string_view second) {
  const int fd = static_cast<int>(handle_);
  return writeAt(fd, 0, first) && writeAt(fd, first.size(), second) &&
         ftruncate(fd, static_cast<off_t>(first.size() + second.size())) == 0;
}

bool RecordFile::sync() {
  return syncDescriptor(static_cast<int>(handle_));
}

bool syncFolderOf(const std::string& path) {
  const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = syncDescriptor(fd);
  // Some file systems cannot sync a folder at all; there is nothing more to do.
  if (!synced && errno == EINVAL) synced = true;
  ::close(fd);
  return synced;
}

}  // namespace kestaro
