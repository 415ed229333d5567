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
#include "locked_file.h"

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

// Every draw of a draw file in file order, without the torn tail of an
// append cut short: what the next writer will leave.
struct DrawFileRead {
  ReadStatus status = ReadStatus::NotOpened;
  std::vector<DrawRecord> draws;
};
DrawFileRead readDrawFile(const char* path = kDrawFileName);

// Every draw of the file in file order; std::nullopt when it cannot be read.
std::optional<std::vector<DrawRecord>> readDraws(const char* path = kDrawFileName);

enum class AppendStatus {
  Appended,
  NotOpened,       // cannot be opened or created, or is not a regular file
  Busy,            // another program held the writers' lock throughout the wait
  TooLarge,        // does not fit in memory
  Utf16,           // stored as UTF-16: an appended line would mix two encodings
  Failed,          // the write failed; the file was cut back to its old length
  Replaced,        // the path came to name another file; what was written is undone
  RecordUnusable,  // the rollback record cannot be used: `recordState` says why
  RecordMismatch,  // the record tells of an append the file no longer shows
  HalfLine,        // the last line has no line end and reads as no draw
};

// As much of a refused line as a message may show.
inline constexpr std::size_t kShownLineBytes = 200;

// What an append did, and for a refusal what it refused.
struct AppendOutcome {
  AppendStatus status = AppendStatus::Appended;
  std::string recordPath;  // the rollback record, when it was looked at
  KeptFileState recordState = KeptFileState::Usable;
  std::size_t halfLine = 0;  // HalfLine: the line's number, 1-based
  std::string halfLineText;  // and its first kShownLineBytes bytes
};

// Given the draws now in the file, returns the draws to append (none: nothing
// is written).
using ChooseDraws = std::function<std::vector<DrawRecord>(const std::vector<DrawRecord>& present)>;

// Under the writers' lock: reads the file (created when missing), lets
// `choose` pick the draws to add and appends them as lines in one write.
// A failed write is cut back through the same handle, still under the lock.
AppendOutcome appendDraws(const ChooseDraws& choose, const char* path = kDrawFileName);

// The same through `files`, which stand for the system's files.
AppendOutcome appendDraws(const ChooseDraws& choose, const char* path, AppendFiles& files);

// The rollback record, one permanent file beside the draw file, named after
// the draw file's resolved path with this appended, so that every name of
// the file finds the same record. Before an append writes its bytes the
// record holds them, with the old and new lengths, on the disk; once they
// are in the file it is marked done. While it is not done, a tail of the
// file that is a beginning of those bytes is a torn append: readers leave it
// out and the next writer cuts it back. A record that tells of bytes the
// file does not hold is never applied.
inline constexpr const char kJournalSuffix[] = "-journal";
std::string rollbackRecordPath(const std::string& drawFile);

struct RollbackRecord {
  bool done = true;
  std::uint64_t oldLength = 0, newLength = 0;
  std::uint64_t appendedChecksum = 0;
  std::string appended;  // while not done: the bytes being appended
};
inline constexpr std::size_t kRollbackHeaderSize = 40;

// FNV-1a, 64 bits.
std::uint64_t checksumOf(std::string_view bytes);
// The fixed-size, little-endian header, with a checksum of its own; the
// appended bytes follow it while the record is not done.
std::string encodeRollbackHeader(const RollbackRecord& record);
// Nothing for a torn or altered record: a header that fails its checksum,
// or a record not done whose bytes are not all there.
std::optional<RollbackRecord> decodeRollbackRecord(std::string_view bytes);

// Whether `path` names the draw file or a file kept beside it, however spelt.
bool namesKeptFile(const std::string& drawFile, const std::string& path);

// What appendDraws would see and refuse, without the lock and without
// writing: `choose` sees the same draws, and a missing file reads as empty.
AppendOutcome previewAppend(const ChooseDraws& choose, const char* path = kDrawFileName);

// Appends one draw; false, leaving the draws as they were, when it cannot be
// stored completely.
bool appendDraw(const DrawRecord& draw, const char* path = kDrawFileName);

}  // namespace kestaro

#endif
