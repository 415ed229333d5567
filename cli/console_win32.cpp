#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "console.h"
#include "windows_text.h"

namespace kestaro::console {

namespace {

bool writeConsole(HANDLE handle, const std::wstring& text) {
  // Older consoles refuse very long writes: pieces, never splitting a pair.
  constexpr std::size_t kPiece = 8192;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t length = std::min(kPiece, text.size() - start);
    if (start + length < text.size() && IS_HIGH_SURROGATE(text[start + length - 1])) --length;
    DWORD written = 0;
    if (!WriteConsoleW(handle, text.data() + start, static_cast<DWORD>(length), &written,
                       nullptr) ||
        written == 0) {
      return false;
    }
    start += written;
  }
  return true;
}

// A console shows UTF-16 whatever its code page; a file or a pipe receives
// the ANSI code page (932 on Japanese Windows), as other programs write.
bool write(DWORD which, std::FILE* stream, std::string_view utf8) {
  if (std::ferror(stream)) return false;
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  const std::wstring text = toUtf16(utf8);
  if (GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) {
    std::fflush(stream);
    return writeConsole(handle, text);
  }
  const int length = static_cast<int>(text.size());
  std::string ansi(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, text.data(), length,
                                                                nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), static_cast<int>(ansi.size()),
                      nullptr, nullptr);
  // A closed pipe or a full disk fails WriteFile, and so fwrite or fflush.
  const bool written = std::fwrite(ansi.data(), 1, ansi.size(), stream) == ansi.size();
  return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

}  // namespace

// Rows end in LF alone, as on every other platform.
void prepare() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

// argv holds the ANSI code page, which cannot name every file: the words are
// taken again from the UTF-16 command line.
std::vector<std::string> arguments(int, char**) {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  if (words == nullptr) return utf8;
  for (int i = 1; i < count; ++i) utf8.push_back(toUtf8(words[i]));
  LocalFree(words);
  return utf8;
}

// Windows has no SIGPIPE: a closed pipe always fails the write.
bool out(std::string_view utf8, ClosedPipe) {
  return write(STD_OUTPUT_HANDLE, stdout, utf8);
}

bool outBytes(std::string_view bytes) {
  if (std::ferror(stdout)) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
  return std::fflush(stdout) == 0 && written && !std::ferror(stdout);
}

void err(std::string_view utf8) {
  write(STD_ERROR_HANDLE, stderr, utf8);
}

bool errIsTerminal() {
  DWORD mode;
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  return GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode);
}

}  // namespace kestaro::console
