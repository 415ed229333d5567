// Runs every native benchmark and prints each figure as a ratio against its
// baseline, both measured in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace kestaro {
bool sameCandidates();
}

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name().substr(0, run.benchmark_name().find('/'));
      const std::string full =
          run.benchmark_name().substr(0, run.benchmark_name().find("/iterations"));
      for (const char* figure : {"seconds", "attempts_per_s"}) {
        auto found = run.counters.find(figure);
        if (found != run.counters.end()) figures_[full] = found->second;
      }
      auto counter = run.counters.find("ns_per_attempt");
      auto rate = run.counters.find("candidates_per_s");
      if (rate != run.counters.end()) {
        figures_[run.benchmark_name().substr(0, run.benchmark_name().find("/min_time"))] =
            rate->second;
      } else if (counter != run.counters.end()) {
        figures_[run.benchmark_name().substr(0, run.benchmark_name().find("/min_time"))] =
            counter->second * 1e9;
      } else {
        figures_[name] = run.GetAdjustedRealTime();
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double loop = figures_["BM_GenerationOnly/search_loop"];
    double plain = figures_["BM_GenerationOnly/plain_transcription"];
    std::printf(
        "search loop: %.1f ns per attempt; plain transcription %.1f ns: %.2f times faster\n", loop,
        plain, plain / loop);
    double cli = figures_["BM_CommandLineSearch/search_loop"];
    double cliPlain = figures_["BM_CommandLineSearch/plain_transcription"];
    std::printf(
        "search --seed, 510 published draws (3 combinations reach 10%%): %.1f candidates/s; "
        "plain transcription %.1f: %.2f times as many\n",
        cli, cliPlain, cli / cliPlain);
    std::printf("exact maximum: %.1f us (target under 1000 us)\n",
                figures_["BM_ExactMaximum"] / 1e3);
    double reader = figures_["BM_ReadDraws"], wc = figures_["BM_WcLines"];
    std::printf("reader, 1,000,000 draws: %.1f ms; wc -l %.1f ms: %.2f times the time of wc -l\n",
                reader, wc, reader / wc);
    double dryRun = figures_["BM_DryRunImport"], reading = figures_["BM_ReadImportFiles"];
    std::printf(
        "import --dry-run, 1,000,000 lines of one draw into as many: %.1f ms; reading the two "
        "files, each by its reader, %.1f ms: %.2f times as long (target at most 3)\n",
        dryRun, reading, dryRun / reading);
    backtestFigures();
  }

 private:
  void backtestFigures() {
    const double lanes = figures_["BM_Attempts/lanes"];
    std::printf(
        "attempts per second on one core, 510 published draws at 10%%: lanes %.3g; search loop "
        "%.3g (%.2f times); plain transcription %.3g (%.2f times)\n",
        lanes, figures_["BM_Attempts/search_loop"], lanes / figures_["BM_Attempts/search_loop"],
        figures_["BM_Attempts/plain_transcription"],
        lanes / figures_["BM_Attempts/plain_transcription"]);
    for (const char* threshold : {"9", "10"}) {
      for (const char* workers : {"1", "2"}) {
        const std::string at = std::string("/") + threshold + "/" + workers;
        const double fast = figures_["BM_Backtest/lanes" + at];
        const double loop = figures_["BM_Backtest/search_loop" + at];
        const double plain = figures_["BM_Backtest/plain_transcription" + at];
        std::printf(
            "backtest of the sample, 10 tickets, %s%%, %s job(s): lanes %.2f s; search loop "
            "%.2f s (%.2f times as long); plain transcription %.2f s (%.2f times)\n",
            threshold, workers, fast, loop, loop / fast, plain, plain / fast);
      }
    }
  }

  std::map<std::string, double> figures_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!kestaro::sameCandidates()) {
    std::fprintf(stderr,
                 "the search loop and the plain transcription chose different candidates\n");
    return 1;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
