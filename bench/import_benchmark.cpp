// A dry-run import whose overlap search meets one draw repeated a million
// times, against reading the same two files: the search must stay linear,
// a small part of the whole.
#include <benchmark/benchmark.h>

#include <string>

#include "cp932.h"
#include "draw_file.h"
#include "import_file.h"
#include "test_support.h"

namespace kestaro {
namespace {

constexpr int kLines = 1000000;

struct ImportFiles {
  testing::TempFolder folder;
  std::string list = folder.file("results.csv");
  std::string drawFile = folder.file("LOTO.DAT");
  ImportFiles() {
    const std::string repeated = "1,2,3,4,5,6\r\n";
    testing::writeBytes(drawFile, testing::repeat(repeated, kLines));
    // The overlap breaks in the middle of the list.
    testing::writeBytes(list, testing::repeat(repeated, kLines / 2) + "7,8,9,10,11,12\r\n" +
                                  testing::repeat(repeated, kLines / 2 - 1));
  }
};

const ImportFiles& importFiles() {
  static const ImportFiles files;
  return files;
}

// The dry run as kestaro-cli makes it: the list read, decoded and parsed,
// the draw file read, the overlap found; nothing written.
void BM_DryRunImport(benchmark::State& state) {
  const ImportFiles& files = importFiles();
  // Forced: the repeated draw after the overlap would be refused as a line
  // pasted twice, and the search is what is measured.
  const ImportRequest request{files.list, files.drawFile, std::nullopt, true};
  for (auto _ : state) {
    const ImportOutcome outcome = planImportFile(request);
    if (outcome.stop != ImportOutcome::Stop::None || outcome.plan.skipped != kLines / 2) {
      state.SkipWithError("the overlap was not found");
      break;
    }
  }
}

// Both files read, each by its own reader: the list as a results file
// (bytes, encoding, records), the draw file as the draw file. What the dry
// run adds to this is the overlap search and its plan.
void BM_ReadImportFiles(benchmark::State& state) {
  const ImportFiles& files = importFiles();
  for (auto _ : state) {
    const FileBytes bytes = readFileBytes(files.list.c_str());
    const DecodedText text = decodeText(bytes.bytes, cp932ToUtf8);
    const ImportedDraws list = parseImport(*text.utf8);
    auto present = readDraws(files.drawFile.c_str());
    benchmark::DoNotOptimize(list);
    benchmark::DoNotOptimize(present);
  }
}

BENCHMARK(BM_DryRunImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadImportFiles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestaro
