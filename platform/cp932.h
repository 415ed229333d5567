#ifndef KESTARO_PLATFORM_CP932_H
#define KESTARO_PLATFORM_CP932_H

#include <optional>
#include <string>
#include <string_view>

namespace kestaro {

// Shift-JIS as Windows writes it, code page 932 (iconv's CP932, not
// SHIFT_JIS: they differ on characters such as ～ and ①), to UTF-8; nothing
// when the bytes are not valid there.
std::optional<std::string> cp932ToUtf8(std::string_view bytes);

}  // namespace kestaro

#endif
