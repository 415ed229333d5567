#include <windows.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include "file_access.h"
#include "windows_files.h"
#include "windows_text.h"

namespace kestaro {

namespace {

bool folderOfExists(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"/\\");
  const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A handle that reads nothing but the file's identity; folders open only
// with the flag. INVALID_HANDLE_VALUE when no file has that name.
HANDLE identityHandle(const std::string& path) {
  const std::wstring name = toUtf16(path);
  if (name.empty()) return INVALID_HANDLE_VALUE;
  return CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

OpenedFile openForReading(const std::string& path) {
  OpenedFile opened;
  const std::wstring name = toUtf16(path);
  if (name.empty()) return opened;
  std::FILE* file = _wfopen(name.c_str(), L"rb");
  if (file == nullptr) {
    opened.missing = errno == ENOENT && folderOfExists(name);
    return opened;
  }
  // NUL, CON and pipes open like files.
  struct _stat64 info {};
  if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    std::fclose(file);
    return opened;
  }
  opened.file = file;
  opened.size = static_cast<std::uint64_t>(info.st_size);
  return opened;
}

bool writeWholeFile(const std::string& path, std::string_view bytes) {
  const std::wstring name = toUtf16(path);
  if (name.empty()) return false;
  std::FILE* file = _wfopen(name.c_str(), L"wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

namespace {

// Every byte to `file`, in pieces a DWORD can count.
bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool replaceWholeFile(const std::string& path, std::string_view bytes) {
  const std::wstring name = toUtf16(path);
  if (name.empty()) return false;
  const HANDLE existing = identityHandle(path);
  const bool exists = existing != INVALID_HANDLE_VALUE;
  // NUL, CON and pipes take the bytes as they come.
  const bool disk = !exists || GetFileType(existing) == FILE_TYPE_DISK;
  if (exists) CloseHandle(existing);
  if (!disk) return writeWholeFile(path, bytes);
  const std::wstring target = exists ? toUtf16(resolvedPath(path)) : name;
  if (target.empty()) return false;
  // A read-only page stays as it is, as a write in place would leave it.
  const DWORD attributes = exists ? GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return false;
  const std::size_t slash = target.find_last_of(L"/\\");
  const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
  const std::wstring stem = target.substr(0, nameStart) + L"." + target.substr(nameStart) +
                            L".kestaro-" + std::to_wstring(GetCurrentProcessId()) + L"-";
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    temporary = stem + std::to_wstring(attempt);
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) return writeWholeFile(path, bytes);
  bool replaced = writeAll(file, bytes);
  replaced = CloseHandle(file) && replaced;
  replaced = replaced && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (!replaced) DeleteFileW(temporary.c_str());
  return replaced;
}

bool sameFile(const std::string& first, const std::string& second) {
  const HANDLE one = identityHandle(first), other = identityHandle(second);
  const bool same =
      one != INVALID_HANDLE_VALUE && other != INVALID_HANDLE_VALUE && sameFile(one, other);
  if (one != INVALID_HANDLE_VALUE) CloseHandle(one);
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  return same;
}

namespace {

// "\\?\C:\x" as C:\x, "\\?\UNC\host\x" as \\host\x.
std::wstring withoutLongPrefix(std::wstring path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

}  // namespace

std::string resolvedPath(const std::string& path) {
  const std::wstring name = toUtf16(path);
  if (name.empty()) return path;
  const HANDLE file =
      CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    std::wstring final(32768, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
    CloseHandle(file);
    if (length > 0 && length < final.size()) {
      final.resize(length);
      return toUtf8(withoutLongPrefix(final));
    }
  }
  std::wstring full(32768, L'\0');
  const DWORD length =
      GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  return toUtf8(full);
}

}  // namespace kestaro
