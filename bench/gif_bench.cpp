// Our GIF encoder (WriteGif into a sink that only counts) against giflib's
// encoder on the same pictures, drawn by RenderProfile from generated
// profiles. Both run in every iteration; the reported time is ours,
// "speedup" is giflib's time / ours and "size_ratio" our bytes / giflib's.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_support.h"
#include "giflib_peer.h"
#include "html_out/gif_encoder.h"
#include "html_out/profile_picture.h"
#include "synthetic_export.h"

namespace quellmar::bench {
namespace {

void EncodePictures(benchmark::State& state, PictureCase gc) {
  std::vector<IndexedImage> pictures;
  std::size_t pixels = 0;
  std::size_t ourBytes = 0;
  std::size_t giflibBytes = 0;
  for (const auto& profile : MakeProfiles(gc.pictures, gc.samples, gc.interval, 11)) {
    auto picture = RenderProfile(profile.text, profile.maxDepth, gc.pixelsPerSample);
    StringSink file;
    WriteGif(picture, file);
    if (picture.pixels.empty() || !GiflibDecodesTo(file.data, picture)) {
      state.SkipWithError("giflib does not decode our GIF into the picture it was given");
      return;
    }
    pixels += picture.pixels.size();
    ourBytes += file.data.size();
    giflibBytes += EncodeWithGiflib(picture);
    pictures.push_back(std::move(picture));
  }

  double ours = 0;
  double giflib = 0;
  for (auto _ : state) {
    Stopwatch clock;
    for (const auto& picture : pictures) {
      CountingSink sink;
      WriteGif(picture, sink);
      benchmark::DoNotOptimize(sink.count);
    }
    const double elapsed = clock.restart();
    for (auto& picture : pictures) benchmark::DoNotOptimize(EncodeWithGiflib(picture));
    giflib += clock.seconds();
    state.SetIterationTime(elapsed);
    ours += elapsed;
  }
  const auto iterations = static_cast<double>(state.iterations());
  if (iterations == 0 || ours == 0) return;
  state.counters["pixels"] =
      benchmark::Counter(iterations * static_cast<double>(pixels), benchmark::Counter::kIsRate);
  state.counters["giflib_us"] = giflib / iterations * 1e6;
  state.counters["speedup"] = giflib / ours;
  state.counters["our_bytes"] = static_cast<double>(ourBytes);
  state.counters["giflib_bytes"] = static_cast<double>(giflibBytes);
  state.counters["size_ratio"] = static_cast<double>(ourBytes) / static_cast<double>(giflibBytes);
}

}  // namespace
}  // namespace quellmar::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  for (const auto& gc : quellmar::bench::kPictureCases) {
    const std::string name = quellmar::bench::CaseName("gif", gc);
    benchmark::RegisterBenchmark(name.c_str(), quellmar::bench::EncodePictures, gc)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
