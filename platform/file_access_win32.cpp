#include <windows.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <optional>

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
