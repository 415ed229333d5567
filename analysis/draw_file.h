#ifndef KESTARO_ANALYSIS_DRAW_FILE_H
#define KESTARO_ANALYSIS_DRAW_FILE_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestaro {

inline constexpr int kHighestNumber = 31;  // numbers run from 1 to 31
inline constexpr int kPositions = 6;       // 1 to 5 are A to E, 6 is Z

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

// The bytes of a file; std::nullopt when it is not a regular file that can be
// opened and read.
std::optional<std::string> readFileBytes(const char* path);

// The draws held by the bytes of a draw file, read by the Windows text-mode
// rules on every platform.
std::vector<DrawRecord> parseDraws(std::string_view bytes);

enum class AppendStatus { Appended, NotOpened, Failed };

// Given the draws now in the file, returns the draws to append (none: nothing
// is written).
using ChooseDraws = std::function<std::vector<DrawRecord>(const std::vector<DrawRecord>& present)>;

// Under the writers' lock: reads the file (created when missing), lets
// `choose` pick the draws to add and appends them as lines "A,B,C,D,E,Z"
// CR LF in one write. On a write, flush or close failure the file is cut
// back to its length before, still under the lock.
AppendStatus appendDraws(const ChooseDraws& choose, const char* path = kDrawFileName);

// Appends one draw; false, leaving the draws as they were, when the file
// cannot be opened or the line cannot be written completely.
bool appendDraw(const DrawRecord& draw, const char* path = kDrawFileName);

}  // namespace kestaro

#endif
