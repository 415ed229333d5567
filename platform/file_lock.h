#ifndef KESTARO_PLATFORM_FILE_LOCK_H
#define KESTARO_PLATFORM_FILE_LOCK_H

#include <cstdint>

namespace kestaro {

// The lock every writer of a draw file holds while it appends or cuts back,
// whether it runs natively or under Wine. It covers one byte far past any end
// of file: on Windows a lock is mandatory for the bytes it covers, and readers
// must never be refused.
class FileLock {
 public:
  // Opens `path`, creating it when missing, and waits a few seconds at most
  // for the lock; held() tells whether it was had.
  explicit FileLock(const char* path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool held() const { return held_; }

 private:
  std::intptr_t handle_;
  bool held_ = false;
};

// Where the lock lies: 2^62, past the end of any draw file.
inline constexpr std::uint64_t kLockOffset = std::uint64_t{1} << 62;
inline constexpr int kLockWaitMs = 10000;

}  // namespace kestaro

#endif
