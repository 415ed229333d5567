#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "file_lock.h"

namespace kestaro {

namespace {

// An open-file-description lock: it conflicts with the POSIX record locks by
// which Wine's server mirrors LockFileEx, and unlike those it is not dropped
// when the same process closes another descriptor of the file.
bool tryLock(int fd, short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(kLockOffset);
  range.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &range) == 0;
}

}  // namespace

FileLock::FileLock(const char* path) : handle_(::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
  if (handle_ < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMs);
  const int fd = static_cast<int>(handle_);
  while (!(held_ = tryLock(fd, F_WRLCK))) {
    if ((errno != EAGAIN && errno != EACCES) || std::chrono::steady_clock::now() > deadline) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

FileLock::~FileLock() {
  if (handle_ < 0) return;
  if (held_) tryLock(static_cast<int>(handle_), F_UNLCK);
  ::close(static_cast<int>(handle_));
}

}  // namespace kestaro
