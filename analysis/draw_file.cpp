#include "draw_file.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

#include "append_files.h"
#include "file_access.h"
#include "locked_file.h"
#include "memory_limit.h"
#include "text_encoding.h"

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

// A new magic for records that hold the appended bytes: an older record
// reads as none.
constexpr char kRecordMagic[] = "KSJ2";
constexpr std::uint64_t kPending = 0x444E4550;  // "PEND"
constexpr std::uint64_t kDone = 0x454E4F44;     // "DONE"

void putWord(std::string& bytes, std::uint64_t word, int size) {
  for (int i = 0; i < size; ++i) bytes += static_cast<char>(word >> (8 * i) & 0xFFu);
}

std::uint64_t wordAt(std::string_view bytes, std::size_t at, int size) {
  std::uint64_t word = 0;
  for (int i = size - 1; i >= 0; --i)
    word = word << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return word;
}

// The header alone, without the appended bytes of a record not done.
std::optional<RollbackRecord> decodeHeader(std::string_view bytes) {
  if (bytes.size() < kRollbackHeaderSize || bytes.substr(0, 4) != kRecordMagic) return std::nullopt;
  if (wordAt(bytes, 32, 8) != checksumOf(bytes.substr(0, 32))) return std::nullopt;
  const std::uint64_t state = wordAt(bytes, 4, 4);
  if (state != kDone && state != kPending) return std::nullopt;
  RollbackRecord record;
  record.done = state == kDone;
  record.oldLength = wordAt(bytes, 8, 8);
  record.newLength = wordAt(bytes, 16, 8);
  record.appendedChecksum = wordAt(bytes, 24, 8);
  if (record.oldLength > record.newLength) return std::nullopt;
  return record;
}

ReadStatus parseAll(const std::string& bytes, std::vector<DrawRecord>& draws) {
  return fitsInMemory([&] { draws = parseDraws(bytes); }) ? ReadStatus::Read : ReadStatus::TooLarge;
}

bool isBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

// A last line without a line end that reads as no draw: a half line that a
// new draw must not complete. Its number and text into `outcome`.
bool endsInHalfLine(std::string_view bytes, AppendOutcome& outcome) {
  const std::size_t lastEnd = bytes.find_last_of("\n\x1a");
  std::string_view last = lastEnd == std::string_view::npos ? bytes : bytes.substr(lastEnd + 1);
  if (lastEnd == std::string_view::npos) last = afterMark(last);
  if (isBlank(last) || parseDraws(last).size() == 1) return false;
  const std::string_view before = bytes.substr(0, bytes.size() - last.size());
  outcome.halfLine = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n') +
                                                  std::count(before.begin(), before.end(), '\x1a'));
  outcome.halfLineText = std::string(last.substr(0, kShownLineBytes));
  return true;
}

// What an append would write after `bytes`, the draws `choose` picks: the
// same judgement for the real append and for its preview. Holding the draws
// and their text may not fit: a refusal then, never an abort.
AppendStatus prepareAppend(ReadStatus read, const std::string& bytes, const ChooseDraws& choose,
                           std::string& text, AppendOutcome& outcome) {
  if (read == ReadStatus::NotOpened) return AppendStatus::NotOpened;
  if (read == ReadStatus::TooLarge) return AppendStatus::TooLarge;
  // An ASCII line in a UTF-16 file would be unreadable to both encodings.
  const std::optional<TextEncoding> mark = markedEncoding(bytes);
  if (mark && *mark != TextEncoding::Utf8) return AppendStatus::Utf16;
  std::vector<DrawRecord> present;
  if (parseAll(bytes, present) != ReadStatus::Read) return AppendStatus::TooLarge;
  std::vector<DrawRecord> draws;
  if (!fitsInMemory([&] { draws = choose(present); })) return AppendStatus::TooLarge;
  if (draws.empty()) return AppendStatus::Appended;
  if (endsInHalfLine(bytes, outcome)) return AppendStatus::HalfLine;
  const bool fitted = fitsInMemory([&] {
    // Complete an unterminated last line first, or the new draw would merge
    // into it and both would be lost.
    if (!bytes.empty() && bytes.back() != '\n') text = "\r\n";
    text.reserve(text.size() + draws.size() * 19);
    for (const DrawRecord& draw : draws) text += formatDrawLine(draw);
  });
  return fitted ? AppendStatus::Appended : AppendStatus::TooLarge;
}

// What a record not done says of the file's bytes now.
enum class Tail {
  Clean,     // the old bytes alone: nothing of the append reached the file
  Torn,      // the old bytes and a beginning of the appended ones
  Mismatch,  // anything else: the file was changed since
};

Tail tailOf(const RollbackRecord& record, std::string_view bytes) {
  if (bytes.size() < record.oldLength || bytes.size() > record.newLength) return Tail::Mismatch;
  const std::string_view tail = bytes.substr(static_cast<std::size_t>(record.oldLength));
  if (std::string_view(record.appended).substr(0, tail.size()) != tail) return Tail::Mismatch;
  return tail.empty() ? Tail::Clean : Tail::Torn;
}

// The state of a record just opened at `recordPath`: under Wine a Unix link
// to the draw file at `path` opens as the draw file itself.
KeptFileState besideDrawFile(const std::string& path, const std::string& recordPath,
                             KeptFileState opened) {
  return opened == KeptFileState::Usable && sameFile(path, recordPath)
             ? KeptFileState::DrawFileItself
             : opened;
}

using ReadRecordAt =
    std::function<std::int64_t(std::uint64_t offset, char* data, std::size_t count)>;

// Reads the record into `raw`: its header and, while it is not done, the
// bytes it holds, never more than the header tells of. A missing or torn
// record reads as none. Usable, or why it cannot be read.
KeptFileState readRecord(const ReadRecordAt& readAt, std::string& raw,
                         std::optional<RollbackRecord>& record) {
  raw.assign(kRollbackHeaderSize, '\0');
  const std::int64_t got = readAt(0, raw.data(), raw.size());
  if (got < 0) return KeptFileState::NotOpened;
  raw.resize(static_cast<std::size_t>(got));
  record = decodeHeader(raw);
  if (!record || record->done) return KeptFileState::Usable;
  const std::uint64_t length = record->newLength - record->oldLength;
  if (length > raw.max_size() - kRollbackHeaderSize ||
      !fitsInMemory([&] { raw.resize(kRollbackHeaderSize + static_cast<std::size_t>(length)); }))
    return KeptFileState::TooLarge;
  const std::int64_t more = readAt(kRollbackHeaderSize, raw.data() + kRollbackHeaderSize,
                                   static_cast<std::size_t>(length));
  if (more < 0) return KeptFileState::NotOpened;
  raw.resize(kRollbackHeaderSize + static_cast<std::size_t>(more));
  if (!fitsInMemory([&] { record = decodeRollbackRecord(raw); })) return KeptFileState::TooLarge;
  return KeptFileState::Usable;
}

// The record beside the draw file at `path` as a reader finds it, opened
// for reading only; its state says whether a writer could use it.
std::optional<RollbackRecord> recordForReading(const std::string& path, std::string& raw,
                                               AppendOutcome& outcome) {
  outcome.recordPath = rollbackRecordPath(path);
  RecordFile file(outcome.recordPath, RecordFile::Mode::ReadOnly);
  outcome.recordState = besideDrawFile(path, outcome.recordPath, file.state());
  raw.clear();
  std::optional<RollbackRecord> record;
  if (outcome.recordState != KeptFileState::Usable) return record;
  outcome.recordState =
      readRecord([&](std::uint64_t offset, char* data,
                     std::size_t count) { return file.readAt(offset, data, count); },
                 raw, record);
  return record;
}

// The first bytes of the record now, to tell whether a writer changed it.
std::string recordHeaderNow(const std::string& recordPath) {
  RecordFile file(recordPath, RecordFile::Mode::ReadOnly);
  std::string header(kRollbackHeaderSize, '\0');
  const std::int64_t got =
      file.state() == KeptFileState::Usable ? file.readAt(0, header.data(), header.size()) : 0;
  header.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return header;
}

// The draw file's bytes as the next writer will leave them: a torn tail
// that its record explains left out. A record that cannot be used, or that
// the file does not match, is a writer's refusal; `outcome` tells it.
// Readers take no lock: the file is read again while a writer changes the
// record meanwhile, a few times at most.
FileBytes readRepaired(const std::string& path, AppendOutcome& outcome) {
  FileBytes read;
  std::optional<RollbackRecord> record;
  for (int tries = 0; tries < 3; ++tries) {
    std::string raw;
    record = recordForReading(path, raw, outcome);
    read = readFileBytes(path.c_str());
    if (read.status != ReadStatus::Read) return read;
    if (recordHeaderNow(outcome.recordPath) == raw.substr(0, kRollbackHeaderSize)) break;
  }
  if (outcome.recordState != KeptFileState::Usable && outcome.recordState != KeptFileState::Missing)
    outcome.status = AppendStatus::RecordUnusable;
  if (!record || record->done) return read;
  const Tail tail = tailOf(*record, read.bytes);
  if (tail == Tail::Mismatch) outcome.status = AppendStatus::RecordMismatch;
  if (tail == Tail::Torn) read.bytes.resize(static_cast<std::size_t>(record->oldLength));
  return read;
}

// Marks `record` done and puts that on the disk; the appended bytes go.
bool markDone(AppendFiles& files, RollbackRecord record) {
  record.done = true;
  return files.writeJournal(encodeRollbackHeader(record), {}) && files.syncJournal();
}

// Cuts back an append that `record` says was cut short, so that the draws
// chosen next are chosen from the old ones; `bytes` follows the file.
bool undoTornAppend(AppendFiles& files, const RollbackRecord& record, std::string& bytes) {
  if (tailOf(record, bytes) == Tail::Torn) {
    if (!files.cutBack(record.oldLength) || !files.sync()) return false;
    bytes.resize(static_cast<std::size_t>(record.oldLength));
  }
  return markDone(files, record);
}

// Opens the record beside the locked draw file; false, with the refusal in
// `outcome`, when it cannot be used.
bool openRecord(AppendFiles& files, const std::string& path, AppendOutcome& outcome) {
  outcome.recordPath = rollbackRecordPath(path);
  // Opened, nothing read or written yet.
  outcome.recordState =
      besideDrawFile(path, outcome.recordPath, files.openJournal(outcome.recordPath));
  if (outcome.recordState == KeptFileState::Usable) return true;
  outcome.status = AppendStatus::RecordUnusable;
  return false;
}

}  // namespace

std::string rollbackRecordPath(const std::string& drawFile) {
  return resolvedPath(drawFile) + kJournalSuffix;
}

bool namesKeptFile(const std::string& drawFile, const std::string& path) {
  const std::string record = rollbackRecordPath(drawFile);
  return sameFile(path, drawFile) || sameFile(path, record) || resolvedPath(path) == record;
}

std::uint64_t checksumOf(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3u;
  }
  return hash;
}

std::string encodeRollbackHeader(const RollbackRecord& record) {
  std::string bytes(kRecordMagic, 4);
  putWord(bytes, record.done ? kDone : kPending, 4);
  putWord(bytes, record.oldLength, 8);
  putWord(bytes, record.newLength, 8);
  putWord(bytes, record.appendedChecksum, 8);
  putWord(bytes, checksumOf(bytes), 8);
  return bytes;
}

std::optional<RollbackRecord> decodeRollbackRecord(std::string_view bytes) {
  std::optional<RollbackRecord> header = decodeHeader(bytes);
  if (!header || header->done) return header;
  RollbackRecord& record = *header;
  const std::uint64_t length = record.newLength - record.oldLength;
  const std::string_view appended = bytes.substr(kRollbackHeaderSize);
  if (appended.size() < length) return std::nullopt;
  record.appended = appended.substr(0, static_cast<std::size_t>(length));
  if (checksumOf(record.appended) != record.appendedChecksum) return std::nullopt;
  return header;
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
  AppendOutcome ignored;
  const FileBytes read = readRepaired(path, ignored);
  result.status = read.status;
  if (result.status == ReadStatus::Read) result.status = parseAll(read.bytes, result.draws);
  return result;
}

std::optional<std::vector<DrawRecord>> readDraws(const char* path) {
  DrawFileRead read = readDrawFile(path);
  if (read.status != ReadStatus::Read) return std::nullopt;
  return std::move(read.draws);
}

AppendOutcome appendDraws(const ChooseDraws& choose, const char* path) {
  const std::unique_ptr<AppendFiles> files = systemAppendFiles();
  return appendDraws(choose, path, *files);
}

namespace {

// The record as the writer finds it; false, with the refusal in `outcome`,
// when it cannot be read.
bool readRecord(AppendFiles& files, std::optional<RollbackRecord>& found, AppendOutcome& outcome) {
  std::string raw;
  outcome.recordState =
      readRecord([&](std::uint64_t offset, char* data,
                     std::size_t count) { return files.readJournal(offset, data, count); },
                 raw, found);
  if (outcome.recordState == KeptFileState::Usable) return true;
  outcome.status = AppendStatus::RecordUnusable;
  return false;
}

// Writes `text` after `bytes`, recorded first; the outcome's status.
AppendStatus writeRecorded(AppendFiles& files, const char* path, const std::string& bytes,
                           const std::string& text, bool syncFolder) {
  RollbackRecord record;
  record.done = false;
  record.oldLength = bytes.size();
  record.newLength = bytes.size() + text.size();
  record.appendedChecksum = checksumOf(text);
  if (!files.writeJournal(encodeRollbackHeader(record), text) || !files.syncJournal())
    return AppendStatus::Failed;
  // A name new in the folder is lost in a power cut unless the folder is
  // synced too; an empty file may be one an earlier writer made.
  if (syncFolder && !files.syncFolder(path)) return AppendStatus::Failed;
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

}  // namespace

AppendOutcome appendDraws(const ChooseDraws& choose, const char* path, AppendFiles& files) {
  AppendOutcome outcome;
  // One handle, under the lock for the read, the write and any cut-back, so
  // the old length is still the file's length when a failed write is undone.
  const LockedFile::State state = files.lock(path);
  if (state != LockedFile::State::Held) {
    outcome.status =
        state == LockedFile::State::Busy ? AppendStatus::Busy : AppendStatus::NotOpened;
    return outcome;
  }
  const bool created = files.created();
  std::optional<RollbackRecord> found;
  if (!openRecord(files, path, outcome) || !readRecord(files, found, outcome)) return outcome;
  std::string bytes;
  const ReadStatus read = readAll(
      [&](char* data, std::size_t count) { return files.read(data, count); }, files.size(), bytes);
  // A torn append is undone before `choose` looks: an import's overlap is
  // found against the draws that were really stored.
  if (read == ReadStatus::Read && found && !found->done) {
    if (tailOf(*found, bytes) == Tail::Mismatch) {
      outcome.status = AppendStatus::RecordMismatch;
      return outcome;
    }
    if (!undoTornAppend(files, *found, bytes)) {
      outcome.status = AppendStatus::Failed;
      return outcome;
    }
  }
  std::string text;
  outcome.status = prepareAppend(read, bytes, choose, text, outcome);
  if (outcome.status != AppendStatus::Appended || text.empty()) return outcome;
  outcome.status = writeRecorded(files, path, bytes, text, !found || created || bytes.empty());
  return outcome;
}

AppendOutcome previewAppend(const ChooseDraws& choose, const char* path) {
  AppendOutcome outcome;
  FileBytes read = readRepaired(path, outcome);
  // The append creates a missing file; a file that is there but cannot be
  // read is refused by both.
  if (read.missing) read.status = ReadStatus::Read;
  if (outcome.status != AppendStatus::Appended) return outcome;
  std::string text;
  outcome.status = prepareAppend(read.status, read.bytes, choose, text, outcome);
  return outcome;
}

bool appendDraw(const DrawRecord& draw, const char* path) {
  return appendDraws([&](const std::vector<DrawRecord>&) { return std::vector<DrawRecord>{draw}; },
                     path)
             .status == AppendStatus::Appended;
}

}  // namespace kestaro
