#include <windows.h>

#include "locked_file.h"
#include "windows_files.h"
#include "windows_text.h"

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

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openByName(const std::string& path, DWORD access, DWORD disposition, DWORD flags) {
  const std::wstring name = toUtf16(path);
  if (name.empty()) return INVALID_HANDLE_VALUE;
  return CreateFileW(name.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
}

}  // namespace

// Polled rather than waited for: Wine's server answers a lock held by a
// native process at once instead of queueing behind it.
LockedFile::LockedFile(const std::string& path, int waitMs)
    : handle_(reinterpret_cast<std::intptr_t>(
          openByName(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL))) {
  const HANDLE file = handleOf(handle_);
  // OPEN_ALWAYS tells an existing file by its last error, read before any other call.
  created_ = file != INVALID_HANDLE_VALUE && GetLastError() != ERROR_ALREADY_EXISTS;
  // NUL, CON and pipes open like files.
  if (file == INVALID_HANDLE_VALUE || GetFileType(file) != FILE_TYPE_DISK) return;
  const DWORD start = GetTickCount();
  for (;;) {
    OVERLAPPED range = lockRange();
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
      state_ = State::Held;
      return;
    }
    if (GetTickCount() - start > static_cast<DWORD>(waitMs)) {
      state_ = State::Busy;
      return;
    }
    Sleep(5);
  }
}

LockedFile::~LockedFile() {
  const HANDLE file = handleOf(handle_);
  if (file == INVALID_HANDLE_VALUE) return;
  if (state_ == State::Held) {
    OVERLAPPED range = lockRange();
    UnlockFileEx(file, 0, 1, 0, &range);
  }
  CloseHandle(file);
}

std::uint64_t LockedFile::size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handleOf(handle_), &size)) return 0;
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::int64_t LockedFile::read(char* data, std::size_t count) {
  DWORD got = 0;
  const DWORD wanted = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
  if (!ReadFile(handleOf(handle_), data, wanted, &got, nullptr)) return -1;
  return got;
}

bool LockedFile::append(std::string_view text) {
  const HANDLE file = handleOf(handle_);
  LARGE_INTEGER none{};
  if (!SetFilePointerEx(file, none, nullptr, FILE_END)) return false;
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD wanted = text.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(text.size());
    if (!WriteFile(file, text.data(), wanted, &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

bool LockedFile::cutBack(std::uint64_t length) {
  const HANDLE file = handleOf(handle_);
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(length);
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

bool LockedFile::sync() {
  return FlushFileBuffers(handleOf(handle_)) != 0;
}

bool LockedFile::namedBy(const std::string& path) const {
  // No access asked: only the file's identity is read.
  const HANDLE named = openByName(path, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (named == INVALID_HANDLE_VALUE) return false;
  const bool same = sameFile(handleOf(handle_), named);
  CloseHandle(named);
  return same;
}

namespace {

KeptFileState stateOfOpened(HANDLE file) {
  // NUL, CON and pipes open like files.
  if (GetFileType(file) != FILE_TYPE_DISK) return KeptFileState::NotRegular;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return KeptFileState::NotOpened;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return KeptFileState::Link;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return KeptFileState::Folder;
  return info.nNumberOfLinks > 1 ? KeptFileState::OtherNames : KeptFileState::Usable;
}

KeptFileState stateOfError(const std::string& path, DWORD error, bool readOnly) {
  if (error == ERROR_FILE_NOT_FOUND && readOnly) return KeptFileState::Missing;
  // A folder opened as a file is refused as a denied access.
  const DWORD attributes = GetFileAttributesW(toUtf16(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return KeptFileState::Folder;
  return KeptFileState::NotOpened;
}

}  // namespace

// FILE_FLAG_OPEN_REPARSE_POINT: a link is opened itself, never what it names.
RecordFile::RecordFile(const std::string& path, Mode mode)
    : handle_(reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE)) {
  const bool readOnly = mode == Mode::ReadOnly;
  const HANDLE file = openByName(path, readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                                 readOnly ? OPEN_EXISTING : OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
  if (file == INVALID_HANDLE_VALUE) {
    state_ = stateOfError(path, GetLastError(), readOnly);
    return;
  }
  state_ = stateOfOpened(file);
  if (state_ == KeptFileState::Usable) {
    handle_ = reinterpret_cast<std::intptr_t>(file);
  } else {
    CloseHandle(file);
  }
}

RecordFile::~RecordFile() {
  if (state_ == KeptFileState::Usable) CloseHandle(handleOf(handle_));
}

std::int64_t RecordFile::readAt(std::uint64_t offset, char* data, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>((offset + done) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    DWORD got = 0;
    const std::size_t left = count - done;
    const DWORD wanted = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    if (!ReadFile(handleOf(handle_), data + done, wanted, &got, &at))
      return GetLastError() == ERROR_HANDLE_EOF ? static_cast<std::int64_t>(done) : -1;
    if (got == 0) break;
    done += got;
  }
  return static_cast<std::int64_t>(done);
}

namespace {

bool writeAt(HANDLE file, std::uint64_t offset, std::string_view bytes) {
  while (!bytes.empty()) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    const DWORD wanted =
        bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    if (!WriteFile(file, bytes.data(), wanted, &written, &at) || written == 0) return false;
    bytes.remove_prefix(written);
    offset += written;
  }
  return true;
}

}  // namespace

bool RecordFile::replace(std::string_view first, std::string_view second) {
  const HANDLE file = handleOf(handle_);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(first.size() + second.size());
  return writeAt(file, 0, first) && writeAt(file, first.size(), second) &&
         SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

bool RecordFile::sync() {
  return FlushFileBuffers(handleOf(handle_)) != 0;
}

// NTFS journals its folders itself, and a folder cannot be flushed without
// rights a user lacks: nothing to do.
bool syncFolderOf(const std::string&) {
  return true;
}

}  // namespace kestaro
