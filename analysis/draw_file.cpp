#include "draw_file.h"

#include <cstdint>
#include <memory>

#include "append_files.h"
#include "file_access.h"
#include "locked_file.h"
#include "memory_limit.h"

namespace kestaro {

namespace {

// Everything `read` gives (bytes, 0 at the end, -1 on an error) into `bytes`.
template <typename Read>
ReadStatus readAll(Read&& read, std::uint64_t sizeHint, std::string& bytes) {
  if (sizeHint > bytes.max_size()) return ReadStatus::TooLarge;
  ReadStatus status = ReadStatus::Read;
  const bool fitted = fitsInMemory([&] {
    bytes.reserve(static_cast<std::size_t>(sizeHint));  // a hint: the file may still grow
    char chunk[65536];
    for (;;) {
      const std::int64_t got = read(chunk, sizeof chunk);
      if (got < 0) status = ReadStatus::NotOpened;
      if (got <= 0) return;
      bytes.append(chunk, static_cast<std::size_t>(got));
    }
  });
  return fitted ? status : ReadStatus::TooLarge;
}

void putWord(std::string& bytes, std::uint64_t word, int size) {
  for (int i = 0; i < size; ++i) bytes += static_cast<char>(word >> (8 * i) & 0xFFu);
}

std::uint64_t wordAt(std::string_view bytes, std::size_t at, int size) {
  std::uint64_t word = 0;
  for (int i = size - 1; i >= 0; --i)
    word = word << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return word;
}

constexpr char kRecordMagic[] = "KSJ1";
constexpr std::uint64_t kPending = 0x444E4550;  // "PEND"
constexpr std::uint64_t kDone = 0x454E4F44;     // "DONE"

ReadStatus parseAll(const std::string& bytes, std::vector<DrawRecord>& draws) {
  return fitsInMemory([&] { draws = parseDraws(bytes); }) ? ReadStatus::Read : ReadStatus::TooLarge;
}

// What an append would write after `bytes`, the draws `choose` picks: the
// same judgement for the real append and for its preview.
AppendStatus prepareAppend(ReadStatus read, const std::string& bytes, const ChooseDraws& choose,
                           std::string& text) {
  if (read == ReadStatus::NotOpened) return AppendStatus::NotOpened;
  if (read == ReadStatus::TooLarge) return AppendStatus::TooLarge;
  // An ASCII line in a UTF-16 file would be unreadable to both encodings.
  if (encodingOf(bytes) != TextEncoding::Bytes) return AppendStatus::Utf16;
  std::vector<DrawRecord> present;
  if (parseAll(bytes, present) != ReadStatus::Read) return AppendStatus::TooLarge;
  const std::vector<DrawRecord> draws = choose(present);
  if (draws.empty()) return AppendStatus::Appended;
  // Complete an unterminated last line first, or the new draw would merge
  // into it and both would be lost.
  if (!bytes.empty() && bytes.back() != '\n') text = "\r\n";
  for (const DrawRecord& draw : draws) text += formatDrawLine(draw);
  return AppendStatus::Appended;
}

// Marks `record` done and puts that on the disk.
bool markDone(AppendFiles& files, RollbackRecord record) {
  record.done = true;
  return files.writeJournal(encodeRollbackRecord(record)) && files.syncJournal();
}

// Cuts back an append that `record` says was cut short, so that the draws
// chosen next are chosen from the old ones; `bytes` follows the file.
bool undoTornAppend(AppendFiles& files, const RollbackRecord& record, std::string& bytes) {
  const std::uint64_t size = bytes.size();
  // A file edited or restored since then is another file now: left alone.
  const bool torn =
      size >= record.oldLength && size <= record.newLength &&
      checksumOf(std::string_view(bytes).substr(0, record.oldLength)) == record.oldChecksum;
  if (torn && size > record.oldLength) {
    if (!files.cutBack(record.oldLength) || !files.sync()) return false;
    bytes.resize(static_cast<std::size_t>(record.oldLength));
  }
  return markDone(files, record);
}

}  // namespace

std::uint64_t checksumOf(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3u;
  }
  return hash;
}

std::string encodeRollbackRecord(const RollbackRecord& record) {
  std::string bytes(kRecordMagic, 4);
  putWord(bytes, record.done ? kDone : kPending, 4);
  putWord(bytes, record.oldLength, 8);
  putWord(bytes, record.newLength, 8);
  putWord(bytes, record.oldChecksum, 8);
  putWord(bytes, checksumOf(bytes), 8);
  return bytes;
}

std::optional<RollbackRecord> decodeRollbackRecord(std::string_view bytes) {
  if (bytes.size() < kRollbackRecordSize || bytes.substr(0, 4) != kRecordMagic) return std::nullopt;
  if (wordAt(bytes, 32, 8) != checksumOf(bytes.substr(0, 32))) return std::nullopt;
  const std::uint64_t state = wordAt(bytes, 4, 4);
  if (state != kDone && state != kPending) return std::nullopt;
  RollbackRecord record;
  record.done = state == kDone;
  record.oldLength = wordAt(bytes, 8, 8);
  record.newLength = wordAt(bytes, 16, 8);
  record.oldChecksum = wordAt(bytes, 24, 8);
  if (record.oldLength > record.newLength) return std::nullopt;
  return record;
}

FileBytes readFileBytes(const char* path) {
  FileBytes result;
  OpenedFile opened = openForReading(path);
  result.missing = opened.missing;
  if (opened.file == nullptr) return result;
  std::FILE* file = opened.file;
  result.status = readAll(
      [&](char* data, std::size_t count) -> std::int64_t {
        const std::size_t got = std::fread(data, 1, count, file);
        return got == 0 && std::ferror(file) != 0 ? -1 : static_cast<std::int64_t>(got);
      },
      opened.size, result.bytes);
  std::fclose(file);
  return result;
}

DrawFileRead readDrawFile(const char* path) {
  DrawFileRead result;
  const FileBytes read = readFileBytes(path);
  result.status = read.status;
  if (result.status == ReadStatus::Read) result.status = parseAll(read.bytes, result.draws);
  return result;
}

std::optional<std::vector<DrawRecord>> readDraws(const char* path) {
  DrawFileRead read = readDrawFile(path);
  if (read.status != ReadStatus::Read) return std::nullopt;
  return std::move(read.draws);
}

AppendStatus appendDraws(const ChooseDraws& choose, const char* path) {
  const std::unique_ptr<AppendFiles> files = systemAppendFiles();
  return appendDraws(choose, path, *files);
}

AppendStatus appendDraws(const ChooseDraws& choose, const char* path, AppendFiles& files) {
  // One handle, under the lock for the read, the write and any cut-back, so
  // the old length is still the file's length when a failed write is undone.
  const LockedFile::State state = files.lock(path);
  if (state == LockedFile::State::Busy) return AppendStatus::Busy;
  if (state != LockedFile::State::Held) return AppendStatus::NotOpened;
  const bool created = files.created();
  if (!files.openJournal(std::string(path) + kJournalSuffix)) return AppendStatus::NotOpened;
  char raw[kRollbackRecordSize];
  const std::int64_t rawSize = files.readJournal(raw, sizeof raw);
  if (rawSize < 0) return AppendStatus::NotOpened;
  const std::optional<RollbackRecord> found =
      decodeRollbackRecord(std::string_view(raw, static_cast<std::size_t>(rawSize)));
  std::string bytes;
  const ReadStatus read = readAll(
      [&](char* data, std::size_t count) { return files.read(data, count); }, files.size(), bytes);
  // A torn append is undone before `choose` looks: an import's overlap is
  // found against the draws that were really stored.
  if (read == ReadStatus::Read && found && !found->done && !undoTornAppend(files, *found, bytes))
    return AppendStatus::Failed;
  std::string text;
  const AppendStatus prepared = prepareAppend(read, bytes, choose, text);
  if (prepared != AppendStatus::Appended || text.empty()) return prepared;

  RollbackRecord record;
  record.done = false;
  record.oldLength = bytes.size();
  record.newLength = bytes.size() + text.size();
  record.oldChecksum = checksumOf(bytes);
  if (!files.writeJournal(encodeRollbackRecord(record)) || !files.syncJournal())
    return AppendStatus::Failed;
  // A name new in the folder is lost in a power cut unless the folder is
  // synced too; an empty file may be one an earlier writer made.
  if ((!found || created || bytes.empty()) && !files.syncFolder(path)) return AppendStatus::Failed;
  // A failed sync is a failed write.
  const bool written = files.append(text) && files.sync();
  // Draws written into a file that was moved away are not stored.
  const bool stored = written && files.namedBy(path);
  if (stored && markDone(files, record)) return AppendStatus::Appended;
  // A new file stays, empty: another writer may already be waiting on it.
  // Left not done when the cut-back fails, so the next writer finishes it.
  if (files.cutBack(record.oldLength) && files.sync()) markDone(files, record);
  return written && !stored ? AppendStatus::Replaced : AppendStatus::Failed;
}

AppendStatus previewAppend(const ChooseDraws& choose, const char* path) {
  FileBytes read = readFileBytes(path);
  // The append creates a missing file; a file that is there but cannot be
  // read is refused by both.
  if (read.missing) read.status = ReadStatus::Read;
  std::string text;
  return prepareAppend(read.status, read.bytes, choose, text);
}

bool appendDraw(const DrawRecord& draw, const char* path) {
  return appendDraws([&](const std::vector<DrawRecord>&) { return std::vector<DrawRecord>{draw}; },
                     path) == AppendStatus::Appended;
}

}  // namespace kestaro
