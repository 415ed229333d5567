#include "candidate_lanes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KESTARO_HAS_LANES 1
#endif

namespace kestaro {

namespace {

// More than this many reaching combinations and a candidate takes so few
// attempts that the plain loop is as good.
constexpr int kMostFiltered = 256;
// Far above the rounding of six terms of at most 100, far below any step
// between different sums that matters: a branch is cut only when even its
// exact best falls short.
constexpr double kSlack = 1e-7;

struct FilterSearch {
  const ScoreTable& scores;
  double sumLimit;
  // best[p][n]: the highest sum of positions p..5 over ascending numbers
  // from n up; -inf where too few numbers are left; 0 past position 5.
  std::array<std::array<double, kHighestNumber + 2>, kPositions + 1> best{};
  double bestBonus = 0;
  std::array<int, 5> numbers{};
  int found = 0;
  ReachFilter filter;

  FilterSearch(const ScoreTable& s, double limit) : scores(s), sumLimit(limit) {
    for (auto& row : best) row.fill(-HUGE_VAL);
    best[kPositions].fill(0);  // no main number left to place
    for (int p = 5; p >= 1; --p) {
      for (int n = kHighestNumber; n >= 1; --n)
        best[p][n] = std::max(scores.terms[p][n] + best[p + 1][n + 1], best[p][n + 1]);
    }
    for (int n = 1; n <= kHighestNumber; ++n) bestBonus = std::max(bestBonus, scores.terms[6][n]);
  }

  void addBonuses() {
    std::uint32_t chosen = 0;
    for (int number : numbers) chosen |= 1u << number;
    for (int bonus = 1; bonus <= kHighestNumber; ++bonus) {
      if ((chosen >> bonus) & 1u) continue;
      if (sumOf(scores, numbers, bonus) < sumLimit) continue;
      const std::uint32_t slot = reachSlot(chosen, static_cast<std::uint32_t>(bonus));
      filter.words[slot >> 5] |= 1u << (slot & 31);
      filter.shared = found == 0 ? chosen : filter.shared & chosen;
      filter.bonuses |= 1u << bonus;
      ++found;
    }
  }

  // Places numbers[placed] and on, from `from` up; false once too many reach.
  bool search(int placed, int from, double partial) {
    if (placed == 5) {
      addBonuses();
      return found <= kMostFiltered;
    }
    for (int v = from; v <= kHighestNumber; ++v) {
      // Nothing from v up can reach: the best of the rest falls with v.
      if (partial + best[placed + 1][v] + bestBonus < sumLimit - kSlack) break;
      const double term = scores.terms[placed + 1][v];
      if (partial + term + best[placed + 2][v + 1] + bestBonus < sumLimit - kSlack) continue;
      numbers[static_cast<std::size_t>(placed)] = v;
      if (!search(placed + 1, v + 1, partial + term)) return false;
    }
    return true;
  }
};

}  // namespace

std::optional<ReachFilter> reachFilter(const ScoreTable& scores, double sumLimit) {
  FilterSearch search(scores, sumLimit);
  if (!search.search(0, 1, 0)) return std::nullopt;
  return search.filter;
}

#ifndef KESTARO_HAS_LANES

bool lanesSupported() {
  return false;
}
void runInLanes(const std::function<std::optional<LaneJob>()>&, const std::function<void(int)>&) {}

#else

namespace {

constexpr int kLanes = 8;
constexpr int kSlots = kLanes + 2;  // a job per lane, the one being handed out, and none

struct Slot {
  LaneJob job;
  int handedOut = 0;
  int left = 0;
  bool used = false;
};

// The jobs' bookkeeping, outside the vector loop: it runs only when a lane's
// attempt passes the filter.
class LaneBook {
 public:
  LaneBook(const std::function<std::optional<LaneJob>()>& next,
           const std::function<void(int)>& finished)
      : next_(next), finished_(finished), pool_(kSlots * kReachWords, 0) {}

  alignas(32) std::uint32_t state[kLanes]{};
  alignas(32) std::uint32_t chosen[kLanes]{};
  alignas(32) std::uint32_t bonus[kLanes]{};
  alignas(32) std::int32_t base[kLanes]{};  // the lane's filter in pool()
  alignas(32) std::uint32_t shared[kLanes]{};
  alignas(32) std::uint32_t bonuses[kLanes]{};
  int active = 0;

  const std::uint32_t* pool() const { return pool_.data(); }

  void start() {
    for (int lane = 0; lane < kLanes; ++lane) assign(lane);
  }

  // The lanes in `hits` passed the filter: the exact test decides.
  __attribute__((noinline)) void check(unsigned hits) {
    for (; hits; hits &= hits - 1) {
      const int lane = __builtin_ctz(hits);
      Slot& slot = slots_[static_cast<std::size_t>(lanes_[lane].slot)];
      std::array<int, 5> numbers;
      std::uint32_t rest = chosen[lane];
      for (int& number : numbers) {
        number = __builtin_ctz(rest);
        rest &= rest - 1;
      }
      const int z = static_cast<int>(bonus[lane]);
      if (sumOf(*slot.job.scores, numbers, z) < slot.job.sumLimit) continue;
      slot.job.out[lanes_[lane].ticket] =
          Candidate{numbers, z, scoreOf(*slot.job.scores, numbers, z)};
      if (--slot.left == 0) release(lanes_[lane].slot);
      assign(lane);
    }
  }

 private:
  struct Lane {
    int slot = 0;
    int ticket = 0;
  };

  void release(int index) {
    Slot& slot = slots_[static_cast<std::size_t>(index)];
    slot.used = false;
    if (current_ == index) current_ = 0;
    finished_(slot.job.id);
  }

  // The next job's slot, or 0 when there is none.
  int open() {
    for (;;) {
      std::optional<LaneJob> job = next_();
      if (!job) return 0;
      int index = 1;
      while (slots_[static_cast<std::size_t>(index)].used) ++index;
      Slot& slot = slots_[static_cast<std::size_t>(index)];
      slot = Slot{*job, 0, job->count, true};
      if (job->count == 0) {
        release(index);
        continue;
      }
      std::copy(job->filter->words.begin(), job->filter->words.end(),
                pool_.begin() + static_cast<std::ptrdiff_t>(index * kReachWords));
      return index;
    }
  }

  // Gives the lane the next seed of the jobs, or leaves it idle on the empty
  // filter; its attempt starts afresh either way.
  void assign(int lane) {
    if (lanes_[lane].slot != 0) --active;
    lanes_[lane] = Lane{};
    if (current_ == 0 || slots_[static_cast<std::size_t>(current_)].handedOut ==
                             slots_[static_cast<std::size_t>(current_)].job.count) {
      current_ = exhausted_ ? 0 : open();
      exhausted_ = current_ == 0;
    }
    chosen[lane] = 0;
    base[lane] = 0;
    shared[lane] = 0;
    bonuses[lane] = 0;  // an idle lane never passes
    if (current_ == 0) return;
    Slot& slot = slots_[static_cast<std::size_t>(current_)];
    lanes_[lane] = Lane{current_, slot.handedOut};
    state[lane] = slot.job.firstSeed + static_cast<std::uint32_t>(slot.handedOut);
    base[lane] = static_cast<std::int32_t>(current_ * kReachWords);
    shared[lane] = slot.job.filter->shared;
    bonuses[lane] = slot.job.filter->bonuses;
    ++slot.handedOut;
    ++active;
  }

  const std::function<std::optional<LaneJob>()>& next_;
  const std::function<void(int)>& finished_;
  std::vector<std::uint32_t> pool_;  // slot 0 stays empty
  std::array<Slot, kSlots> slots_{};
  Lane lanes_[kLanes]{};
  int current_ = 0;
  bool exhausted_ = false;
};

// One number per lane per step: the generator's next value, mapped to 1..31;
// a main number drawn before, or a bonus among the five, is drawn again.
__attribute__((target("avx2"))) void runVectorLoop(LaneBook& book) {
  const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(kMultiplier));
  const __m256i increment = _mm256_set1_epi32(static_cast<int>(kIncrement));
  const __m256i low15 = _mm256_set1_epi32(0x7FFF);
  const __m256i one = _mm256_set1_epi32(1);
  const __m256i low5 = _mm256_set1_epi32(31);
  const __m256i five = _mm256_set1_epi32(5);
  const __m256i mixBonus = _mm256_set1_epi32(static_cast<int>(0x9E3779B1u));
  const __m256i mixSlot = _mm256_set1_epi32(static_cast<int>(0x85EBCA6Bu));
  const __m256i zero = _mm256_setzero_si256();
  const int* pool = reinterpret_cast<const int*>(book.pool());
  __m256i state = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.state));
  __m256i chosen = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.chosen));
  __m256i base = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.base));
  __m256i shared = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.shared));
  __m256i bonuses = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.bonuses));
  __m256i drawn = zero;
  while (book.active > 0) {
    state = _mm256_add_epi32(_mm256_mullo_epi32(state, multiplier), increment);
    const __m256i raw = _mm256_and_si256(_mm256_srli_epi32(state, 16), low15);
    const __m256i number = _mm256_add_epi32(
        _mm256_srli_epi32(_mm256_sub_epi32(_mm256_slli_epi32(raw, 5), raw), 15), one);
    const __m256i bit = _mm256_sllv_epi32(one, number);
    const __m256i fresh = _mm256_cmpeq_epi32(_mm256_and_si256(chosen, bit), zero);
    const __m256i main = _mm256_cmpgt_epi32(five, drawn);
    const __m256i taken = _mm256_and_si256(fresh, main);
    chosen = _mm256_or_si256(chosen, _mm256_and_si256(bit, taken));
    drawn = _mm256_sub_epi32(drawn, taken);
    const __m256i complete = _mm256_andnot_si256(main, fresh);
    const __m256i holdsShared = _mm256_cmpeq_epi32(_mm256_and_si256(chosen, shared), shared);
    const __m256i bonusMay =
        _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_srlv_epi32(bonuses, number), one), one);
    const __m256i passing = _mm256_and_si256(complete, _mm256_and_si256(holdsShared, bonusMay));
    if (!_mm256_testz_si256(passing, passing)) {
      const __m256i slot = _mm256_srli_epi32(
          _mm256_mullo_epi32(_mm256_add_epi32(chosen, _mm256_mullo_epi32(number, mixBonus)),
                             mixSlot),
          16);
      const __m256i word = _mm256_mask_i32gather_epi32(
          zero, pool, _mm256_add_epi32(base, _mm256_srli_epi32(slot, 5)), passing, 4);
      const __m256i marked =
          _mm256_and_si256(_mm256_srlv_epi32(word, _mm256_and_si256(slot, low5)), one);
      const unsigned hits = static_cast<unsigned>(
          _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(marked, one))));
      if (hits) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(book.state), state);
        _mm256_store_si256(reinterpret_cast<__m256i*>(book.chosen), chosen);
        _mm256_store_si256(reinterpret_cast<__m256i*>(book.bonus), number);
        book.check(hits);
        state = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.state));
        base = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.base));
        shared = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.shared));
        bonuses = _mm256_load_si256(reinterpret_cast<const __m256i*>(book.bonuses));
      }
    }
    // A finished attempt starts the next one afresh.
    chosen = _mm256_andnot_si256(complete, chosen);
    drawn = _mm256_andnot_si256(complete, drawn);
  }
}

}  // namespace

bool lanesSupported() {
  return __builtin_cpu_supports("avx2");
}

void runInLanes(const std::function<std::optional<LaneJob>()>& next,
                const std::function<void(int id)>& finished) {
  LaneBook book(next, finished);
  book.start();
  runVectorLoop(book);
}

#endif

}  // namespace kestaro
