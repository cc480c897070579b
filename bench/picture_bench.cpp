// Drawing profile pictures against the floor of a memset over the same number
// of pixels, in two measurements:
//   "render/..." RenderProfile: reading the samples from the profile text,
//                the drawing and the reduction to the colour cube;
//   "draw/..."   DrawProfile: the drawing and the reduction alone, from
//                samples read beforehand.
// Ours and the floor run in every iteration on the same profiles; the
// reported time is ours, "ratio" is ours / memset.
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

// Times draw(i) for every picture i against the memset of its pixel count.
template <typename DrawPicture>
void TimeAgainstMemset(benchmark::State& state, const PictureCase& pc, std::size_t count,
                       DrawPicture draw) {
  std::vector<std::size_t> pixelCounts;
  for (std::size_t i = 0; i < count; ++i) {
    const auto picture = draw(i);
    const auto expected = static_cast<std::size_t>(picture.width) * picture.height;
    if (expected == 0 || picture.pixels.size() != expected) {
      state.SkipWithError("no picture of width x height pixels");
      return;
    }
    pixelCounts.push_back(expected);
  }
  std::vector<std::uint8_t> buffer(*std::max_element(pixelCounts.begin(), pixelCounts.end()));

  double ours = 0;
  double floor = 0;
  for (auto _ : state) {
    Stopwatch clock;
    for (std::size_t i = 0; i < count; ++i) {
      const auto picture = draw(i);
      benchmark::DoNotOptimize(picture.pixels.data());
    }
    const double elapsed = clock.restart();
    for (const auto pixels : pixelCounts) {
      std::memset(buffer.data(), 215, pixels);
      benchmark::DoNotOptimize(buffer.data());
      benchmark::ClobberMemory();
    }
    floor += clock.seconds();
    state.SetIterationTime(elapsed);
    ours += elapsed;
  }
  std::size_t pixels = 0;
  for (const auto n : pixelCounts) pixels += n;
  const auto iterations = static_cast<double>(state.iterations());
  if (iterations == 0 || floor == 0) return;
  state.counters["pixels"] =
      benchmark::Counter(iterations * static_cast<double>(pixels), benchmark::Counter::kIsRate);
  state.counters["pictures"] = pc.pictures;
  state.counters["us_per_picture"] = ours / iterations / pc.pictures * 1e6;
  state.counters["floor_us"] = floor / iterations * 1e6;
  state.counters["ratio"] = ours / floor;
}

void RenderPictures(benchmark::State& state, PictureCase pc) {
  const auto profiles = MakeProfiles(pc.pictures, pc.samples, pc.interval, 7);
  TimeAgainstMemset(state, pc, profiles.size(), [&](std::size_t i) {
    return RenderProfile(profiles[i].text, profiles[i].maxDepth, pc.pixelsPerSample);
  });
}

void DrawPictures(benchmark::State& state, PictureCase pc) {
  const auto profiles = MakeProfiles(pc.pictures, pc.samples, pc.interval, 7);
  std::vector<std::vector<std::int32_t>> samples;
  for (const auto& profile : profiles) samples.push_back(ProfileSamples(profile.text));
  TimeAgainstMemset(state, pc, profiles.size(), [&](std::size_t i) {
    return DrawProfile(samples[i], profiles[i].maxDepth, pc.pixelsPerSample);
  });
}

}  // namespace
}  // namespace quellmar::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  for (const auto& pc : quellmar::bench::kPictureCases) {
    const std::string render = quellmar::bench::CaseName("render", pc);
    benchmark::RegisterBenchmark(render.c_str(), quellmar::bench::RenderPictures, pc)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    const std::string draw = quellmar::bench::CaseName("draw", pc);
    benchmark::RegisterBenchmark(draw.c_str(), quellmar::bench::DrawPictures, pc)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
