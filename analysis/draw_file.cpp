#include "draw_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "file_lock.h"

namespace kestaro {

namespace {

// The reader takes at most this many characters of a line, the line-read
// buffer of the file's original reader less its terminator.
constexpr std::size_t kRecordLength = 29;

bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// One "%d" field at `pos`: white space, an optional sign, one or more digits.
// Fails on a missing digit and on a value outside the signed 32-bit range.
std::optional<std::int32_t> parseField(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && isSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  if (pos >= text.size() || !isDigit(text[pos])) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  bool tooLarge = false;
  for (; pos < text.size() && isDigit(text[pos]); ++pos) {
    magnitude = magnitude * 10 + (text[pos] - '0');
    if (magnitude > limit) {
      tooLarge = true;
      magnitude = limit;
    }
  }
  if (tooLarge) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// "%d,%d,%d,%d,%d,%d" over one record; whatever follows the sixth number is
// ignored. A record that does not hold six numbers gives nothing.
std::optional<DrawRecord> parseRecord(std::string_view record) {
  record = record.substr(0, record.find('\0'));  // the string ends at a NUL
  std::int32_t values[6];
  std::size_t pos = 0;
  for (int field = 0; field < 6; ++field) {
    if (field > 0) {
      if (pos >= record.size() || record[pos] != ',') return std::nullopt;
      ++pos;
    }
    std::optional<std::int32_t> value = parseField(record, pos);
    if (!value) return std::nullopt;
    values[field] = *value;
  }
  return DrawRecord{values[0], values[1], values[2], values[3], values[4], values[5]};
}

std::string formatLine(const DrawRecord& d) {
  char text[80];
  int length = std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d\r\n", static_cast<int>(d.A),
                             static_cast<int>(d.B), static_cast<int>(d.C), static_cast<int>(d.D),
                             static_cast<int>(d.E), static_cast<int>(d.Z));
  return std::string(text, length);
}

// Writes `text` at the end of the file in one write; false when any part of
// the write, the flush or the close fails.
bool writeAtEnd(const char* path, const std::string& text) {
  std::FILE* file = std::fopen(path, "ab");
  if (file == nullptr) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                 std::fflush(file) == 0 && std::ferror(file) == 0;
  return std::fclose(file) == 0 && written;
}

}  // namespace

std::vector<DrawRecord> parseDraws(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // Notepad's UTF-8 mark
  std::vector<DrawRecord> draws;
  // At most one draw a line: one allocation instead of a string of regrowths.
  draws.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
  std::size_t start = 0;
  while (start < bytes.size()) {
    // A line ends at LF (CR LF counts as one line end) or at 0x1A, an old
    // end-of-file mark that must not hide the draws appended after it.
    std::size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\x1a') ++end;
    std::size_t contentEnd = end;
    if (end < bytes.size() && bytes[end] == '\n' && end > start && bytes[end - 1] == '\r') {
      --contentEnd;
    }
    // A long line gives one record, its first characters; its later pieces
    // are not draws even when they look like one.
    std::size_t length = std::min(contentEnd - start, kRecordLength);
    if (std::optional<DrawRecord> draw = parseRecord(bytes.substr(start, length))) {
      draws.push_back(*draw);
    }
    start = end + 1;
  }
  return draws;
}

std::optional<std::string> readFileBytes(const char* path) {
  // A folder, a device or a pipe is no draw file: reading one may never end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error) bytes.reserve(static_cast<std::size_t>(size));  // a hint: the file may still grow
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  // A folder opens on some platforms and then fails to read.
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

std::optional<std::vector<DrawRecord>> readDraws(const char* path) {
  std::optional<std::string> bytes = readFileBytes(path);
  if (!bytes) return std::nullopt;
  return parseDraws(*bytes);
}

AppendStatus appendDraws(const ChooseDraws& choose, const char* path) {
  // Held across the read, the write and any cut-back, so the old length is
  // still the file's length when a failed write is undone.
  FileLock lock(path);
  if (!lock.held()) return AppendStatus::NotOpened;
  std::optional<std::string> bytes = readFileBytes(path);
  if (!bytes) return AppendStatus::NotOpened;
  const std::vector<DrawRecord> draws = choose(parseDraws(*bytes));
  if (draws.empty()) return AppendStatus::Appended;
  // Complete an unterminated last line first, or the new draw would merge
  // into it and both would be lost.
  std::string text;
  if (!bytes->empty() && bytes->back() != '\n') text = "\r\n";
  for (const DrawRecord& draw : draws) text += formatLine(draw);
  if (writeAtEnd(path, text)) return AppendStatus::Appended;
  // A new file stays, empty: another writer may already be waiting on it.
  std::error_code error;
  std::filesystem::resize_file(path, bytes->size(), error);
  return AppendStatus::Failed;
}

bool appendDraw(const DrawRecord& draw, const char* path) {
  return appendDraws([&](const std::vector<DrawRecord>&) { return std::vector<DrawRecord>{draw}; },
                     path) == AppendStatus::Appended;
}

}  // namespace kestaro
