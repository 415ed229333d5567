#include <iconv.h>

#include "cp932.h"

namespace kestaro {

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
  const iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  // One character of code page 932 takes at most three bytes of UTF-8.
  std::string text(bytes.size() * 3, '\0');
  std::string input(bytes);
  char* in = input.data();
  char* out = text.data();
  std::size_t inLeft = input.size(), outLeft = text.size();
  const bool converted =
      iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  if (!converted) return std::nullopt;
  text.resize(text.size() - outLeft);
  return text;
}

}  // namespace kestaro
