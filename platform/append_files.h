#ifndef KESTARO_PLATFORM_APPEND_FILES_H
#define KESTARO_PLATFORM_APPEND_FILES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "locked_file.h"

namespace kestaro {

// What an append asks of the system, one call a step, so that a test can
// record the steps and stop at any of them. The draw file is held under the
// writers' lock from lock() until the object goes; every call on it goes
// through that one handle. The rollback record beside it needs no lock of
// its own: only the lock's holder writes it.
class AppendFiles {
 public:
  virtual ~AppendFiles() = default;

  // Opens the draw file (created when missing) and takes the lock.
  virtual LockedFile::State lock(const std::string& path) = 0;
  // Whether lock() made the file.
  virtual bool created() = 0;
  virtual std::uint64_t size() = 0;
  // From the first byte on, as LockedFile::read.
  virtual std::int64_t read(char* data, std::size_t count) = 0;
  virtual bool append(std::string_view text) = 0;
  virtual bool cutBack(std::uint64_t length) = 0;
  virtual bool sync() = 0;
  virtual bool namedBy(const std::string& path) = 0;

  // Opens the rollback record by its path, created when missing, never
  // through a link.
  virtual KeptFileState openJournal(const std::string& path) = 0;
  // Up to `count` bytes of the record from `offset`, as RecordFile::readAt.
  virtual std::int64_t readJournal(std::uint64_t offset, char* data, std::size_t count) = 0;
  // Replaces the whole record with `header` and then `appended`.
  virtual bool writeJournal(std::string_view header, std::string_view appended) = 0;
  virtual bool syncJournal() = 0;
  // Syncs the folder that holds `path`.
  virtual bool syncFolder(const std::string& path) = 0;
};

// The real files.
std::unique_ptr<AppendFiles> systemAppendFiles();

}  // namespace kestaro

#endif
