#include <windows.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "file_access.h"
#include "windows_text.h"

namespace kestaro {

namespace {

bool folderOfExists(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"/\\");
  const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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

}  // namespace kestaro
