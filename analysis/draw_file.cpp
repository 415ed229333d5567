#include "draw_file.h"

#include <cstdint>
#include <new>
#include <stdexcept>

#include "file_access.h"
#include "locked_file.h"

namespace kestaro {

namespace {

// Runs `work`; false when it runs out of memory, which for a reader means
// the file is too large, never an abort.
template <typename Work>
bool fitsInMemory(Work&& work) {
  try {
    work();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

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

}  // namespace

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
  // One handle, under the lock for the read, the write and any cut-back, so
  // the old length is still the file's length when a failed write is undone.
  LockedFile file(path);
  if (file.state() == LockedFile::State::Busy) return AppendStatus::Busy;
  if (file.state() != LockedFile::State::Held) return AppendStatus::NotOpened;
  std::string bytes;
  const ReadStatus read = readAll(
      [&](char* data, std::size_t count) { return file.read(data, count); }, file.size(), bytes);
  std::string text;
  const AppendStatus prepared = prepareAppend(read, bytes, choose, text);
  if (prepared != AppendStatus::Appended || text.empty()) return prepared;
  const bool written = file.append(text);
  // Draws written into a file that was moved away are not stored.
  if (written && file.namedBy(path)) return AppendStatus::Appended;
  // A new file stays, empty: another writer may already be waiting on it.
  file.cutBack(bytes.size());
  return written ? AppendStatus::Replaced : AppendStatus::Failed;
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
