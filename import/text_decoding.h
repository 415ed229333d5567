#ifndef KESTARO_IMPORT_TEXT_DECODING_H
#define KESTARO_IMPORT_TEXT_DECODING_H

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text_encoding.h"

namespace kestaro {

// Code page 932 to UTF-8, nothing when the bytes are not valid there; the
// platform's converter (iconv, MultiByteToWideChar) is handed in.
using Cp932Decoder = std::function<std::optional<std::string>(std::string_view bytes)>;

// The text as UTF-8, and how it was stored: a UTF-8 or UTF-16 byte-order
// mark says so; otherwise valid UTF-8 (plain ASCII too) is UTF-8, and
// anything else is Shift-JIS. Nothing when it cannot be decoded.
struct DecodedText {
  TextEncoding encoding = TextEncoding::Utf8;
  std::optional<std::string> utf8;
};
DecodedText decodeText(std::string_view bytes, const Cp932Decoder& cp932);

bool isValidUtf8(std::string_view bytes);

}  // namespace kestaro

#endif
