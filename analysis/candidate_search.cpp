#include "candidate_search.h"

#include <cmath>
#include <limits>
#include <vector>

#include "text_format.h"

namespace kestaro {

ScoreTable makeScoreTable(const FrequencyTable& table, std::int32_t drawCount) {
  ScoreTable scores;
  if (drawCount == 0) return scores;  // no draw: every term 0, never 0 / 0
  const double divisor = drawCount / 100.0;
  for (int position = 1; position <= kPositions; ++position) {
    for (int number = 1; number <= kHighestNumber; ++number) {
      scores.terms[position][number] = table.counts[number][position] / divisor;
    }
  }
  return scores;
}

namespace {

// The six terms added in the order A, B, C, D, E, Z.
inline double sumOf(const ScoreTable& scores, const std::array<int, 5>& numbers, int bonus) {
  const auto& t = scores.terms;
  return t[1][numbers[0]] + t[2][numbers[1]] + t[3][numbers[2]] + t[4][numbers[3]] +
         t[5][numbers[4]] + t[6][bonus];
}

// The lowest sum whose score reaches `limit`. Rounded division is monotonic,
// so a score reaches the limit exactly when its sum reaches this one, and
// the loop need not divide.
double lowestSumReaching(double limit) {
  double sum = limit * 6.0;
  while (sum / 6.0 >= limit) sum = std::nextafter(sum, -HUGE_VAL);
  while (sum / 6.0 < limit) sum = std::nextafter(sum, HUGE_VAL);
  return sum;
}

}  // namespace

double scoreOf(const ScoreTable& scores, const std::array<int, 5>& numbers, int bonus) {
  return sumOf(scores, numbers, bonus) / 6.0;
}

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

// The highest partial sum A..E over ascending main numbers that leave out
// `bonus`. Rounded addition is monotonic, so keeping the best sum per last
// number at each position gives exactly the best rounded total.
double bestMainSum(const ScoreTable& scores, int bonus) {
  std::array<double, kHighestNumber + 1> best;
  best.fill(kNone);
  for (int number = 1; number <= kHighestNumber; ++number) {
    if (number != bonus) best[number] = scores.terms[1][number];
  }
  for (int position = 2; position <= 5; ++position) {
    std::array<double, kHighestNumber + 1> next;
    next.fill(kNone);
    double before = kNone;  // best sum ending below `number`
    for (int number = 1; number <= kHighestNumber; ++number) {
      if (number != bonus && before != kNone) {
        next[number] = before + scores.terms[position][number];
      }
      if (best[number] > before) before = best[number];
    }
    best = next;
  }
  double result = kNone;
  for (double sum : best) result = sum > result ? sum : result;
  return result;
}

}  // namespace

double maxScore(const ScoreTable& scores) {
  double result = kNone;
  for (int bonus = 1; bonus <= kHighestNumber; ++bonus) {
    double score = (bestMainSum(scores, bonus) + scores.terms[6][bonus]) / 6.0;
    if (score > result) result = score;
  }
  return result;
}

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

void CandidateGenerator::seedFromClock(const Clock& clock) {
  source_.seedFromClock(clock);
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
    const double live = threshold.load(std::memory_order_relaxed);
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

std::int32_t newSearchId() {
  static std::atomic<std::int32_t> last{0};
  return ++last;
}

namespace {

enum class PauseEnd { Stopped, Reachable, CountReached };

bool stopped(const SearchJob& job) {
  return job.stopFlag->load() != job.id;
}

// Waits while the threshold is out of reach, showing why in the caption.
// `begun` is the number of candidates begun, the current one included.
PauseEnd pause(SearchJob& job, int begun, double reachable) {
  if (stopped(job)) return PauseEnd::Stopped;
  job.display->setCaption(std::string(kBaseCaption) + kOutOfReachSuffix);
  for (;;) {
    job.wait(kPauseStepMs);
    PauseEnd end;
    if (stopped(job)) {
      end = PauseEnd::Stopped;
    } else if (job.settings->threshold.load() <= reachable) {
      end = PauseEnd::Reachable;
    } else if (job.settings->pickCount.load() <= begun) {
      end = PauseEnd::CountReached;
    } else {
      continue;
    }
    job.display->setCaption(kBaseCaption);
    return end;
  }
}

void showCandidate(Display& display, int row, const Candidate& candidate) {
  for (int i = 0; i < 5; ++i) display.setCell(row, i + 1, formatNumber(candidate.numbers[i]));
  display.setCell(row, 6, formatNumber(candidate.bonus));
  display.setCell(row, 7, formatPercent(candidate.score));
}

}  // namespace

void runSearch(SearchJob& job) {
  if (stopped(job)) return;
  FrequencyTable table;
  table.reset();
  std::optional<std::vector<DrawRecord>> draws = readDraws(job.drawFile.c_str());
  if (!draws) return;
  for (const DrawRecord& draw : *draws) table.addDraw(draw);
  const ScoreTable scores = makeScoreTable(table, static_cast<std::int32_t>(draws->size()));
  const double reachable = maxScore(scores);
  Display& display = *job.display;
  display.clearRows();
  CandidateGenerator generator(scores);
  for (int row = 0; row < job.settings->pickCount.load(); ++row) {
    if (stopped(job)) return;
    display.addRow(row, formatCandidateLabel(row + 1));
    job.wait(kCandidateWaitMs);
    generator.seedFromClock(job.clock);
    std::optional<Candidate> candidate;
    while (!(candidate = generator.generate(job.settings->threshold, reachable))) {
      PauseEnd end = pause(job, row + 1, reachable);
      if (end == PauseEnd::Stopped) return;
      if (end == PauseEnd::CountReached) break;
    }
    if (!candidate) break;
    showCandidate(display, row, *candidate);
  }
  // The window judges the notice again on its own thread; this check only
  // spares a stopped search the message.
  if (!stopped(job)) display.endOfSearch();
}

}  // namespace kestaro
