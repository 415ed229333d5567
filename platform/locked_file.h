#ifndef KESTARO_PLATFORM_LOCKED_FILE_H
#define KESTARO_PLATFORM_LOCKED_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestaro {

// Where the writers' lock lies: 2^62, past the end of any draw file.
inline constexpr std::uint64_t kLockOffset = std::uint64_t{1} << 62;
inline constexpr int kLockWaitMs = 10000;

// A draw file as every writer holds it, natively or under Wine: one handle,
// opened by its UTF-8 path (created when missing), under the writers' lock
// for as long as it lives. Reading, appending and cutting back all go through
// that handle, never through the path again. The lock covers one byte far
// past any end of file: on Windows a lock is mandatory for the bytes it
// covers, and readers must never be refused.
class LockedFile {
 public:
  enum class State {
    Held,
    NotOpened,  // cannot be opened or created, or is not a regular file
    Busy,       // another writer kept the lock for the whole wait
  };

  explicit LockedFile(const std::string& path, int waitMs = kLockWaitMs);
  ~LockedFile();
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

  State state() const { return state_; }
  // Whether this writer made the file: its name is then new in the folder.
  bool created() const { return created_; }
  // The file's size now; 0 on a failure.
  std::uint64_t size() const;
  // Reads up to `count` bytes from the current position (first byte at the
  // start); returns how many, 0 at the end; -1 on a read error.
  std::int64_t read(char* data, std::size_t count);
  // Writes all of `text` at the end of the file; false unless all of it went.
  bool append(std::string_view text);
  // Cuts the file back to `length` bytes.
  bool cutBack(std::uint64_t length);
  // Puts the file's bytes and size on the disk; false when that failed.
  bool sync();
  // Whether `path` still names this very file (device and inode, or volume
  // serial and file index).
  bool namedBy(const std::string& path) const;

 private:
  std::intptr_t handle_;
  State state_ = State::NotOpened;
  bool created_ = false;
};

// Why a small file kept beside the draw file cannot be used; Usable when
// it can. Such a file is never followed through a link nor shared with
// another name: a writer would overwrite whatever it named.
enum class KeptFileState {
  Usable,
  Missing,     // opened for reading only, and nothing has that name
  NotOpened,   // no right to open or create it, or another error
  Link,        // a symbolic link
  Folder,      // a folder
  NotRegular,  // a pipe, a device or a socket
  OtherNames,  // a regular file with more than one name (hard links)
  // Told by its reader, not by the platform: the very file it is kept
  // beside, or bytes too many for memory.
  DrawFileItself,
  TooLarge,
};

// A small file read and rewritten whole from its first byte, opened by its
// UTF-8 path (created when missing, unless for reading only) and never
// removed: on Windows and under Wine a file that others hold open does not
// reliably go away.
class RecordFile {
 public:
  enum class Mode { ReadOnly, ReadWrite };
  explicit RecordFile(const std::string& path, Mode mode = Mode::ReadWrite);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  KeptFileState state() const { return state_; }
  // Reads up to `count` bytes from `offset`; how many, -1 on an error.
  std::int64_t readAt(std::uint64_t offset, char* data, std::size_t count);
  // Writes `first` then `second` from the first byte on and cuts the file
  // there; false unless all of it went.
  bool replace(std::string_view first, std::string_view second);
  bool sync();

 private:
  std::intptr_t handle_;
  KeptFileState state_ = KeptFileState::NotOpened;
};

// Puts on the disk the names in the folder that holds `path`, so that a file
// just created there is found after a power cut.
bool syncFolderOf(const std::string& path);

}  // namespace kestaro

#endif
