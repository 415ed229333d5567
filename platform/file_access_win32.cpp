#include <sys/stat.h>
#include <cerrno>
#include <cstdio>

#include "file_access.h"
#include "windows_text.h"

namespace kestaro {

OpenedFile openForReading(const std::string& path) {
  OpenedFile opened;
  const std::wstring name = toUtf16(path);
  std::FILE* file = name.empty() ? nullptr : _wfopen(name.c_str(), L"rb");
  if (file == nullptr) {
    opened.missing = errno == ENOENT;
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
