// The draw-file reader's throughput against reading the same file with
// `wc -l`, the least any reader of its lines can do.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "draw_file.h"
#include "test_support.h"

namespace kestaro {
namespace {

constexpr int kDraws = 1000000;

const std::string& historyFile() {
  static testing::TempFolder folder;
  static const std::string path = [] {
    std::string file = folder.file("LOTO.DAT");
    testing::writeBytes(file, testing::realisticHistory(kDraws, 9));
    return file;
  }();
  return path;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(historyFile())));
}

void BM_ReadDraws(benchmark::State& state) {
  const std::string& path = historyFile();  // made before the clock starts
  for (auto _ : state) {
    auto draws = readDraws(path.c_str());
    if (!draws || draws->size() != static_cast<std::size_t>(kDraws)) {
      state.SkipWithError("not every draw was read");
      break;
    }
    benchmark::DoNotOptimize(draws);
  }
  setBytes(state);
}

void BM_WcLines(benchmark::State& state) {
  const std::string command = "wc -l '" + historyFile() + "' >/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("wc failed");
      break;
    }
  }
  setBytes(state);
}

BENCHMARK(BM_ReadDraws)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestaro

namespace kestaro {
namespace {

// One registration, as the dialog and `add` make it: a draw appended to a
// file that holds 1,400 draws. A fixed count of appends, so that every run
// grows the file alike.
void BM_AppendDraw(benchmark::State& state) {
  testing::TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  testing::writeBytes(path, testing::realisticHistory(1400, 5));
  const DrawRecord draw{3, 8, 15, 22, 29, 11};
  for (auto _ : state) {
    if (!appendDraw(draw, path.c_str())) {
      state.SkipWithError("the draw was not stored");
      break;
    }
  }
}

BENCHMARK(BM_AppendDraw)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(1000);

}  // namespace
}  // namespace kestaro
