#include <windows.h>

#include "cp932.h"
#include "windows_text.h"

namespace kestaro {

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
  if (bytes.empty()) return std::string();
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (size <= 0) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), size);
  return toUtf8(text);
}

}  // namespace kestaro
