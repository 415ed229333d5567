#include <windows.h>

#include <algorithm>

#include "windows_text.h"

namespace kestaro {

std::wstring toUtf16(std::string_view utf8) {
  const int length = static_cast<int>(utf8.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text.data(), size);
  return text;
}

std::string toUtf8(std::wstring_view utf16) {
  const int length = static_cast<int>(utf16.size());
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), size, nullptr, nullptr);
  return text;
}

std::string toCodePage932(std::string_view utf8) {
  // ASCII is the same in both, and almost every cell of the list is ASCII.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) {
    return std::string(utf8);
  }
  const std::wstring wide = toUtf16(utf8);
  const int length = static_cast<int>(wide.size());
  const int size = WideCharToMultiByte(932, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(932, 0, wide.data(), length, text.data(), size, nullptr, nullptr);
  return text;
}

}  // namespace kestaro
