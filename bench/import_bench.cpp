// The whole import of a generated export (the Open command with the file
// named) against the floor of reading the same four files and finding their
// line ends. Both run in every iteration on the same files; the reported time
// is the import's, "ratio" is import / floor.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "bench_support.h"
#include "commands/commands.h"
#include "commands/session.h"
#include "synthetic_export.h"

namespace quellmar::bench {
namespace {

// Exports made on first use, one per shape, removed when the program ends.
class Exports {
 public:
  std::filesystem::path get(const ExportShape& shape) {
    const std::string name =
        "dives" + std::to_string(shape.dives) + "x" + std::to_string(shape.samples) + ".csv";
    const auto mainFile = dir_.path() / name;
    if (!std::filesystem::exists(mainFile)) WriteExport(mainFile, shape);
    return mainFile;
  }

 private:
  ScratchDir dir_{"import"};
};

void ImportExport(benchmark::State& state, Exports& exports, ExportShape shape) {
  const auto mainFile = exports.get(shape);
  const auto files = ExportFiles(mainFile);
  std::uintmax_t bytes = 0;
  for (const auto& file : files) bytes += std::filesystem::file_size(file);

  double ours = 0;
  double floor = 0;
  for (auto _ : state) {
    Stopwatch floorClock;
    benchmark::DoNotOptimize(ReadAndSplitLines(files));
    floor += floorClock.seconds();

    BenchPlatform platform;
    auto session = std::make_unique<Session>(platform);
    Stopwatch clock;
    const bool imported = OpenCsvPathCommand(*session, mainFile);
    benchmark::DoNotOptimize(session->logbook);
    const double elapsed = clock.seconds();
    state.SetIterationTime(elapsed);
    ours += elapsed;
    if (!imported || static_cast<int>(session->logbook->dives.size()) != shape.dives) {
      state.SkipWithError("the import did not read every dive");
      break;
    }
    // The session and its logbook are freed here, outside the measured time.
  }
  const auto iterations = static_cast<double>(state.iterations());
  if (iterations == 0 || floor == 0) return;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["dives"] = shape.dives;
  state.counters["floor_ms"] = floor / iterations * 1e3;
  state.counters["us_per_dive"] = ours / iterations / shape.dives * 1e6;
  state.counters["ratio"] = ours / floor;
}

}  // namespace
}  // namespace quellmar::bench

int main(int argc, char** argv) {
  using quellmar::bench::ExportShape;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  quellmar::bench::Exports exports;
  const ExportShape shapes[] = {
      {1000, 180, 10, 1},
      {10000, 180, 10, 1},
      {100000, 180, 10, 1},
      {1000, 3600, 1, 1},  // the stress case: one sample a second for an hour
  };
  for (const auto& shape : shapes) {
    const std::string name =
        "import/" + std::to_string(shape.dives) + "x" + std::to_string(shape.samples);
    benchmark::RegisterBenchmark(name.c_str(), quellmar::bench::ImportExport, std::ref(exports),
                                 shape)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
