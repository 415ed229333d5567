#ifndef KESTARO_ANALYSIS_DRAW_FILE_H
#define KESTARO_ANALYSIS_DRAW_FILE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "draw_format.h"

namespace kestaro {

class AppendFiles;  // what an append asks of the system, in platform/

// The draw file, resolved against the current directory at every call.
// Paths are UTF-8 on every platform.
inline constexpr const char kDrawFileName[] = "LOTO.DAT";

enum class ReadStatus {
  Read,
  NotOpened,  // missing, no right to read, not a regular file, a read error
  TooLarge,   // does not fit in memory
};

// The bytes of a regular file.
struct FileBytes {
  ReadStatus status = ReadStatus::NotOpened;
  bool missing = false;  // not opened because nothing has that name
  std::string bytes;
};
FileBytes readFileBytes(const char* path);

// Every draw of a draw file in file order.
struct DrawFileRead {
  ReadStatus status = ReadStatus::NotOpened;
  std::vector<DrawRecord> draws;
};
DrawFileRead readDrawFile(const char* path = kDrawFileName);

// Every draw of the file in file order; std::nullopt when it cannot be read.
std::optional<std::vector<DrawRecord>> readDraws(const char* path = kDrawFileName);

enum class AppendStatus {
  Appended,
  NotOpened,  // cannot be opened or created, or is not a regular file
  Busy,       // another program held the writers' lock throughout the wait
  TooLarge,   // does not fit in memory
  Utf16,      // stored as UTF-16: an appended line would mix two encodings
  Failed,     // the write failed; the file was cut back to its old length
  Replaced,   // the path came to name another file; what was written is undone
};

// Given the draws now in the file, returns the draws to append (none: nothing
// is written).
using ChooseDraws = std::function<std::vector<DrawRecord>(const std::vector<DrawRecord>& present)>;

// Under the writers' lock: reads the file (created when missing), lets
// `choose` pick the draws to add and appends them as lines in one write.
// A failed write is cut back through the same handle, still under the lock.
AppendStatus appendDraws(const ChooseDraws& choose, const char* path = kDrawFileName);

// The same through `files`, which stand for the system's files.
AppendStatus appendDraws(const ChooseDraws& choose, const char* path, AppendFiles& files);

// The rollback record, one permanent file beside the draw file named after
// it with this appended. Before its bytes are written an append records the
// old length, the new length and a checksum of the old bytes; once they are
// on the disk it marks the record done. A writer that finds it not done cuts
// a torn append back first, unless the file was edited or restored since.
inline constexpr const char kJournalSuffix[] = "-journal";

struct RollbackRecord {
  bool done = true;
  std::uint64_t oldLength = 0, newLength = 0;
  std::uint64_t oldChecksum = 0;  // of the first oldLength bytes
};
inline constexpr std::size_t kRollbackRecordSize = 40;

// FNV-1a, 64 bits.
std::uint64_t checksumOf(std::string_view bytes);
// Fixed size, little-endian, with a checksum of its own so that a torn
// record reads as none.
std::string encodeRollbackRecord(const RollbackRecord& record);
std::optional<RollbackRecord> decodeRollbackRecord(std::string_view bytes);

// What appendDraws would see and refuse, without the lock and without
// writing: `choose` sees the same draws, and a missing file reads as empty.
AppendStatus previewAppend(const ChooseDraws& choose, const char* path = kDrawFileName);

// Appends one draw; false, leaving the draws as they were, when it cannot be
// stored completely.
bool appendDraw(const DrawRecord& draw, const char* path = kDrawFileName);

}  // namespace kestaro

#endif
