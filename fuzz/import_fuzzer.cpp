// Feeds arbitrary bytes to the import parser, as any results file a player
// drops or names may hold, and checks what must hold for any input.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "cp932.h"
#include "results_parser.h"
#include "text_decoding.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

// The bytes before the 1-based line `line`: LF, CR LF, a lone CR and 0x1A
// each end a line, inside quotes too.
std::string_view beforeLine(std::string_view bytes, std::size_t line) {
  std::size_t seen = 1, i = 0;
  for (; i < bytes.size() && seen < line; ++i) {
    const char c = bytes[i];
    if (c == '\n' || c == '\x1a' ||
        (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
      ++seen;
    }
  }
  return bytes.substr(0, i);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Decoded as an import decodes it, through the platform's converter.
  const kestaro::DecodedText decoded = kestaro::decodeText(
      std::string_view(reinterpret_cast<const char*>(data), size), kestaro::cp932ToUtf8);
  if (!decoded.utf8) return 0;
  // Whatever the encoding, what comes out is UTF-8.
  require(kestaro::isValidUtf8(*decoded.utf8));
  const std::string_view bytes = *decoded.utf8;
  // Columns read from the file, and columns given.
  for (const std::optional<kestaro::Columns>& columns :
       {std::optional<kestaro::Columns>{}, std::optional<kestaro::Columns>{{3, 4, 5, 6, 7, 8}}}) {
    const kestaro::ImportedDraws imported = kestaro::parseImport(bytes, columns);
    // Every draw it takes would pass the check a typed draw must pass.
    for (const kestaro::DrawRecord& draw : imported.draws) require(!kestaro::checkDraw(draw));
    // Each draw comes from a line of its own, in order, before any refused one.
    require(imported.lines.size() == imported.draws.size());
    for (std::size_t i = 0; i < imported.lines.size(); ++i) {
      require(i == 0 || imported.lines[i - 1] < imported.lines[i]);
      require(imported.badLine == 0 || imported.lines[i] < imported.badLine);
    }
    // With the columns given, the file's later lines decide nothing: what
    // stands before a refused line reads as the same draws on its own.
    if (imported.badLine == 0 || !columns) continue;
    const kestaro::ImportedDraws before =
        kestaro::parseImport(beforeLine(bytes, imported.badLine), columns);
    require(before.badLine == 0 && before.draws == imported.draws);
  }
  return 0;
}
