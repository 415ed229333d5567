#ifndef KESTARO_PLATFORM_WINDOWS_TEXT_H
#define KESTARO_PLATFORM_WINDOWS_TEXT_H

#include <string>
#include <string_view>

// Windows only: the program's UTF-8 texts and the system's UTF-16 ones.
namespace kestaro {

// Invalid UTF-8 becomes U+FFFD: a message still shows, and a path that holds
// it names no file.
std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);
// For the narrow ("A") functions of the window: code page 932, "?" for what
// it cannot hold.
std::string toCodePage932(std::string_view utf8);

}  // namespace kestaro

#endif
