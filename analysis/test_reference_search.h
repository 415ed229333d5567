#ifndef KESTARO_ANALYSIS_TEST_REFERENCE_SEARCH_H
#define KESTARO_ANALYSIS_TEST_REFERENCE_SEARCH_H

#include <array>
#include <cstdint>

#include "frequency_table.h"
#include "random_source.h"

namespace kestaro::testing {

// A plain transcription of the candidate generation, a value at a time with a
// division per term, kept apart from the program's loop to check it against.
struct ReferenceCandidate {
  std::array<int, 5> numbers{};
  int bonus = 0;
  double score = 0;
  std::uint64_t attempts = 0;
};

inline ReferenceCandidate referenceCandidate(const FrequencyTable& table, int drawCount,
                                             std::uint32_t seed, int threshold) {
  RandomSource source;
  source.seed(seed);
  const double d = drawCount / 100.0;
  const auto& c = table.counts;
  ReferenceCandidate result;
  int n[6] = {};
  int z = 0;
  double score = 0.0;
  while (threshold > score) {
    ++result.attempts;
    n[1] = source.nextNumber();
    do n[2] = source.nextNumber();
    while (n[2] == n[1]);
    do n[3] = source.nextNumber();
    while (n[3] == n[1] || n[3] == n[2]);
    do n[4] = source.nextNumber();
    while (n[4] == n[1] || n[4] == n[2] || n[4] == n[3]);
    do n[5] = source.nextNumber();
    while (n[5] == n[1] || n[5] == n[2] || n[5] == n[3] || n[5] == n[4]);
    for (int i = 1; i <= 4; ++i) {
      for (int j = 5; j >= i + 1; --j) {
        if (n[i] > n[j]) {
          int swap = n[i];
          n[i] = n[j];
          n[j] = swap;
        }
      }
    }
    do z = source.nextNumber();
    while (z == n[1] || z == n[2] || z == n[3] || z == n[4] || z == n[5]);
    score = (c[n[1]][1] / d + c[n[2]][2] / d + c[n[3]][3] / d + c[n[4]][4] / d + c[n[5]][5] / d +
             c[z][6] / d) /
            6;
  }
  result.numbers = {n[1], n[2], n[3], n[4], n[5]};
  result.bonus = z;
  result.score = score;
  return result;
}

}  // namespace kestaro::testing

#endif
