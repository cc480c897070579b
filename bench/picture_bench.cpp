// Drawing profile pictures (RenderProfile: the drawing and the reduction to
// the colour cube) against the floor of a memset over the same number of
// pixels. Both run in every iteration on the same profiles; the reported time
// is the drawing's, "ratio" is drawing / memset.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "html_out/profile_picture.h"
#include "synthetic_export.h"

namespace quellmar::bench {
namespace {

void RenderPictures(benchmark::State& state, PictureCase pc) {
  const auto profiles = MakeProfiles(pc.pictures, pc.samples, pc.interval, 7);
  std::vector<std::size_t> pixelCounts;
  for (const auto& profile : profiles) {
    const auto picture = RenderProfile(profile.text, profile.maxdepth, pc.pixelsPerSample);
    const auto expected = static_cast<std::size_t>(picture.width) * picture.height;
    if (expected == 0 || picture.pixels.size() != expected) {
      state.SkipWithError("RenderProfile gave no picture of width x height pixels");
      return;
    }
    pixelCounts.push_back(expected);
  }
  std::vector<std::uint8_t> buffer(*std::max_element(pixelCounts.begin(), pixelCounts.end()));

  double ours = 0;
  double floor = 0;
  for (auto _ : state) {
    Stopwatch clock;
    for (const auto& profile : profiles) {
      const auto picture = RenderProfile(profile.text, profile.maxdepth, pc.pixelsPerSample);
      benchmark::DoNotOptimize(picture.pixels.data());
    }
    const double elapsed = clock.restart();
    for (const auto count : pixelCounts) {
      std::memset(buffer.data(), 215, count);
      benchmark::DoNotOptimize(buffer.data());
      benchmark::ClobberMemory();
    }
    floor += clock.seconds();
    state.SetIterationTime(elapsed);
    ours += elapsed;
  }
  std::size_t pixels = 0;
  for (const auto count : pixelCounts) pixels += count;
  const auto iterations = static_cast<double>(state.iterations());
  if (iterations == 0 || floor == 0) return;
  state.counters["pixels"] =
      benchmark::Counter(iterations * static_cast<double>(pixels), benchmark::Counter::kIsRate);
  state.counters["pictures"] = pc.pictures;
  state.counters["us_per_picture"] = ours / iterations / pc.pictures * 1e6;
  state.counters["floor_us"] = floor / iterations * 1e6;
  state.counters["ratio"] = ours / floor;
}

}  // namespace
}  // namespace quellmar::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  for (const auto& pc : quellmar::bench::kPictureCases) {
    const std::string name = quellmar::bench::CaseName("render", pc);
    benchmark::RegisterBenchmark(name.c_str(), quellmar::bench::RenderPictures, pc)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
