#include "candidate_generator.h"

namespace kestaro {

namespace {

// The generator's states k + 1 steps ahead, s = mul[k] * state + add[k]: a
// block of values computed side by side instead of one long chain of
// multiplications.
constexpr std::size_t kBlock = 64;
struct Jumps {
  std::array<std::uint32_t, kBlock> mul{};
  std::array<std::uint32_t, kBlock> add{};
};

constexpr Jumps makeJumps() {
  Jumps jumps;
  std::uint32_t mul = 1, add = 0;
  for (std::size_t k = 0; k < kBlock; ++k) {
    mul = mul * kMultiplier;
    add = add * kMultiplier + kIncrement;
    jumps.mul[k] = mul;
    jumps.add[k] = add;
  }
  return jumps;
}

constexpr Jumps kJumps = makeJumps();

}  // namespace

CandidateGenerator::CandidateGenerator(const ScoreTable& scores) : scores_(scores) {}

void CandidateGenerator::seed(std::uint32_t value) {
  source_.seed(value);
  used_ = batch_.size();
}

void CandidateGenerator::refill() {
  static_assert(std::tuple_size<decltype(batch_)>::value == kBlock);
  const std::uint32_t from = source_.state;
  for (std::size_t k = 0; k < kBlock; ++k) {
    std::uint32_t state = kJumps.mul[k] * from + kJumps.add[k];
    batch_[k] = static_cast<std::uint8_t>(numberFromRaw((state >> 16) & 0x7FFF));
  }
  source_.seed(kJumps.mul[kBlock - 1] * from + kJumps.add[kBlock - 1]);
}

std::optional<Candidate> CandidateGenerator::generate(const std::atomic<std::int32_t>& threshold,
                                                      double reachable) {
  return generateWith([&] { return threshold.load(std::memory_order_relaxed); }, reachable);
}

std::optional<Candidate> CandidateGenerator::generate(double threshold, double reachable) {
  return generateWith([threshold] { return threshold; }, reachable);
}

// One loop for both kinds of threshold, each reading its own without a
// branch between them on every attempt.
template <typename ReadThreshold>
std::optional<Candidate> CandidateGenerator::generateWith(ReadThreshold threshold,
                                                          double reachable) {
  // The loop's state lives in registers; the members are written on return.
  std::size_t used = used_;
  std::uint64_t attempts = attempts_;
  auto nextNumber = [&] {
    if (used == kBlock) {
      refill();
      used = 0;
    }
    return batch_[used++];
  };
  std::optional<Candidate> accepted;
  double limit = -1, sumLimit = 0;
  for (;;) {
    const double live = threshold();
    if (live > reachable) break;
    if (live != limit) {
      limit = live;
      sumLimit = lowestSumReaching(limit);
    }
    ++attempts;
    // The five main numbers as bits of a set; B to E are drawn again while
    // they repeat an earlier one.
    std::uint32_t chosen = 1u << nextNumber();
    for (int drawn = 1; drawn < 5; ++drawn) {
      std::uint32_t bit;
      do {
        bit = 1u << nextNumber();
      } while (chosen & bit);
      chosen |= bit;
    }
    int bonus;
    do {
      bonus = nextNumber();
    } while ((chosen >> bonus) & 1u);
    // Ascending order is the order of the set bits, the same as any sort.
    std::array<int, 5> numbers;
    std::uint32_t rest = chosen;
    for (int& number : numbers) {
      number = __builtin_ctz(rest);
      rest &= rest - 1;
    }
    if (sumOf(scores_, numbers, bonus) >= sumLimit) {
      accepted = Candidate{numbers, bonus, scoreOf(scores_, numbers, bonus)};
      break;
    }
  }
  used_ = used;
  attempts_ = attempts;
  return accepted;
}

}  // namespace kestaro
