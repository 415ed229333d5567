#include <windows.h>

#include "file_lock.h"

namespace kestaro {

namespace {

OVERLAPPED lockRange() {
  OVERLAPPED range{};
  range.Offset = static_cast<DWORD>(kLockOffset & 0xFFFFFFFFu);
  range.OffsetHigh = static_cast<DWORD>(kLockOffset >> 32);
  return range;
}

HANDLE handleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

// Polled rather than waited for: Wine's server answers a lock held by a
// native process at once instead of queueing behind it.
FileLock::FileLock(const char* path)
    : handle_(reinterpret_cast<std::intptr_t>(
          CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr))) {
  if (handleOf(handle_) == INVALID_HANDLE_VALUE) return;
  const DWORD start = GetTickCount();
  for (;;) {
    OVERLAPPED range = lockRange();
    held_ = LockFileEx(handleOf(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                       0, &range) != 0;
    if (held_ || GetTickCount() - start > static_cast<DWORD>(kLockWaitMs)) return;
    Sleep(5);
  }
}

FileLock::~FileLock() {
  if (handleOf(handle_) == INVALID_HANDLE_VALUE) return;
  if (held_) {
    OVERLAPPED range = lockRange();
    UnlockFileEx(handleOf(handle_), 0, 1, 0, &range);
  }
  CloseHandle(handleOf(handle_));
}

}  // namespace kestaro
