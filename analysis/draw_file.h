#ifndef KESTARO_ANALYSIS_DRAW_FILE_H
#define KESTARO_ANALYSIS_DRAW_FILE_H

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kestaro {

// One draw: the five main numbers in the order registered and the bonus number.
struct DrawRecord {
  std::int32_t A = 0, B = 0, C = 0, D = 0, E = 0, Z = 0;
  friend bool operator==(const DrawRecord& x, const DrawRecord& y) {
    return x.A == y.A && x.B == y.B && x.C == y.C && x.D == y.D && x.E == y.E && x.Z == y.Z;
  }
};

// The draw file, resolved against the current directory at every call.
inline constexpr const char kDrawFileName[] = "LOTO.DAT";

// Every draw of the file in file order; std::nullopt when the file cannot be
// opened or read as a file (missing, a folder, a read error).
std::optional<std::vector<DrawRecord>> readDraws(const char* path = kDrawFileName);

// The draws held by the bytes of a draw file, read by the Windows text-mode
// rules on every platform.
std::vector<DrawRecord> parseDraws(std::string_view bytes);

// Appends one line "A,B,C,D,E,Z" CR LF. Returns false, leaving the file as it
// was, when it cannot be opened or the line cannot be written completely.
bool appendDraw(const DrawRecord& draw, const char* path = kDrawFileName);

}  // namespace kestaro

#endif
