#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "console.h"

namespace kestaro::console {

namespace {

std::wstring wide(std::string_view utf8) {
  const int length = static_cast<int>(utf8.size());
  std::wstring text(
      static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0)),
      L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text.data(), static_cast<int>(text.size()));
  return text;
}

// A console shows UTF-16 whatever its code page; a file or a pipe receives
// the ANSI code page (932 on Japanese Windows), as other programs write.
void write(DWORD which, std::FILE* stream, std::string_view utf8) {
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  const std::wstring text = wide(utf8);
  if (GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) {
    std::fflush(stream);
    DWORD written = 0;
    WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const int length = static_cast<int>(text.size());
  std::string ansi(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, text.data(), length,
                                                                nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), static_cast<int>(ansi.size()),
                      nullptr, nullptr);
  std::fwrite(ansi.data(), 1, ansi.size(), stream);
}

}  // namespace

// Rows end in LF alone, as on every other platform.
void prepare() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

void out(std::string_view utf8) {
  write(STD_OUTPUT_HANDLE, stdout, utf8);
}

void err(std::string_view utf8) {
  write(STD_ERROR_HANDLE, stderr, utf8);
}

}  // namespace kestaro::console
