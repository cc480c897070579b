// The UDDF export of a generated logbook (the export command: WriteUddf into
// the file writer, the file synced and put in place) against the floor of writing the same bytes to
// a file by bare open, write and close. Both run in every iteration; "ratio" is export / floor.
// "extra_heap_MiB" is the most heap the export held at once beyond the imported logbook, counted by
// this program's operator new.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "basic/file_set.h"
#include "bench_support.h"
#include "commands/commands.h"
#include "commands/session.h"
#include "synthetic_export.h"
#include "uddf_out/uddf_writer.h"

namespace {

std::atomic<std::int64_t> liveHeap{0};
std::atomic<std::int64_t> peakHeap{0};

}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  const std::int64_t live = liveHeap += static_cast<std::int64_t>(malloc_usable_size(block));
  std::int64_t peak = peakHeap.load();
  while (live > peak && !peakHeap.compare_exchange_weak(peak, live)) {
  }
  return block;
}
void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  liveHeap -= static_cast<std::int64_t>(malloc_usable_size(block));
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace quellmar::bench {
namespace {

class NoHistory : public UddfReport {
 public:
  void historyLine(std::string) override {}
};

void ExportUddf(benchmark::State& state, ExportShape shape) {
  ScratchDir dir("uddf");
  const auto mainFile = dir.path() / "logbook.csv";
  WriteExport(mainFile, shape);
  BenchPlatform platform;
  Session session(platform);
  if (!OpenCsvPathCommand(session, mainFile) ||
      static_cast<int>(session.logbook->dives.size()) != shape.dives) {
    state.SkipWithError("the import did not read every dive");
    return;
  }
  const auto path = dir.path() / "logbook.uddf";
  const std::int64_t before = liveHeap;
  peakHeap = before;
  if (!ExportUddfToCommand(session, path)) {
    state.SkipWithError("the UDDF file could not be written");
    return;
  }
  const std::int64_t extraHeap = peakHeap - before;
  NoHistory history;
  StringSink written;
  if (WriteUddf(*session.logbook, UddfOptions{}, written, history).divesWritten !=
      static_cast<std::size_t>(shape.dives)) {
    state.SkipWithError("the export did not write every dive");
    return;
  }
  const FileBytes floorFile{"floor.uddf", written.data};

  double ours = 0;
  double floor = 0;
  for (auto _ : state) {
    Stopwatch floorClock;
    if (!WriteFilesBare(dir.path(), {floorFile})) {
      state.SkipWithError("the floor could not write its file");
      break;
    }
    floor += floorClock.seconds();

    Stopwatch clock;
    const bool committed = static_cast<bool>(ExportUddfToCommand(session, path));
    const double elapsed = clock.seconds();
    state.SetIterationTime(elapsed);
    ours += elapsed;
    if (!committed) {
      state.SkipWithError("the UDDF file could not be written");
      break;
    }
  }
  const auto iterations = static_cast<double>(state.iterations());
  if (iterations == 0 || floor == 0) return;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(written.data.size()));
  state.counters["dives"] = shape.dives;
  state.counters["file_MiB"] = static_cast<double>(written.data.size()) / (1 << 20);
  state.counters["extra_heap_MiB"] = static_cast<double>(extraHeap) / (1 << 20);
  state.counters["floor_ms"] = floor / iterations * 1e3;
  state.counters["ratio"] = ours / floor;
}

}  // namespace
}  // namespace quellmar::bench

int main(int argc, char** argv) {
  using quellmar::bench::ExportShape;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RegisterBenchmark("uddf/10000x180", quellmar::bench::ExportUddf,
                               ExportShape{10000, 180, 10, 1})
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
