#ifndef KESTARO_ANALYSIS_RANDOM_SOURCE_H
#define KESTARO_ANALYSIS_RANDOM_SOURCE_H

#include <cstdint>
#include <functional>

namespace kestaro {

// The calendar clock: whole seconds since 1970-01-01 00:00:00 UTC.
using Clock = std::function<std::int64_t()>;
std::int64_t systemClock();
// The seed a search takes from the clock: the low 32 bits of its seconds.
inline std::uint32_t clockSeed(const Clock& clock) {
  return static_cast<std::uint32_t>(clock());
}

inline constexpr std::uint32_t kMultiplier = 214013;
inline constexpr std::uint32_t kIncrement = 2531011;

// A 32-bit linear congruential generator with 15-bit outputs. The search's
// results depend on this exact generator, seeding and mapping.
struct RandomSource {
  std::uint32_t state = 1;

  void seed(std::uint32_t value) { state = value; }
  // Returns a value in [0..32767]: bits 16 to 30 of the advanced state.
  int next() {
    state = state * kMultiplier + kIncrement;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
  int nextNumber();
};

// Maps a raw value in [0..32767] to a number in [1..31]: floor(r * 31 / 32768) + 1,
// exactly what r / 32768.0 * 31.0 truncated gives.
inline int numberFromRaw(int raw) {
  return ((raw * 31) >> 15) + 1;
}

inline int RandomSource::nextNumber() {
  return numberFromRaw(next());
}

}  // namespace kestaro

#endif
