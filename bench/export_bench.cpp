// The whole HTML export (ExportHtml with the bundled templates: index page,
// note pages, profile pictures; answering No to emptying Output and Cancel
// to showing the page) of a generated logbook, against the floor of writing
// the same files with the same bytes by bare open, write and close. Every
// iteration also times the encoding of the same pictures by our encoder and
// by giflib, for the two targets:
//   "vs_ours"   = export / (floor + our encoding)
//   "vs_giflib" = export / (floor + giflib's encoding)
#include <benchmark/benchmark.h>

#include <set>
#include <string>
#include <vector>

#include "basic/text_file.h"
#include "bench_support.h"
#include "giflib_peer.h"
#include "html_out/gif_encoder.h"
#include "html_out/logbook_writer.h"
#include "html_out/profile_picture.h"
#include "import/logbook_import.h"
#include "main/session.h"
#include "synthetic_export.h"

namespace quellmar::bench {
namespace {

// The generated logbook, imported once, and a directory for the bare writes.
class ExportSetup {
 public:
  explicit ExportSetup(const ExportShape& shape)
      : program_("export", shape), platform_(program_.path()), session_(platform_) {
    session_.window.chosenPath = program_.mainFile().string();
    imported_ = ImportLogbook(session_) && session_.logbook.divecount() == shape.dives;
    std::filesystem::create_directory(floorDir());
  }

  bool imported() const { return imported_; }
  Session& session() { return session_; }
  BenchPlatform& platform() { return platform_; }
  std::filesystem::path floorDir() const { return program_.path() / "floor"; }

 private:
  ProgramFolder program_;
  BenchPlatform platform_;
  Session session_;
  bool imported_ = false;
};

// Every plain file of the Output directory with its bytes.
std::vector<FileBytes> OutputFiles(const Session& session) {
  std::vector<FileBytes> files;
  for (const auto& entry : std::filesystem::directory_iterator(OutputDirectory(session))) {
    if (!entry.is_regular_file()) continue;
    files.push_back({entry.path().filename(), ReadWholeFile(entry.path()).value_or("")});
  }
  return files;
}

// The pictures of the dives whose GIF the export wrote, drawn as it drew them.
std::vector<IndexedImage> ExportedPictures(const Session& session,
                                           const std::vector<FileBytes>& files) {
  std::set<std::string> names;
  for (const auto& file : files) names.insert(file.name.string());
  std::vector<IndexedImage> pictures;
  const auto px = PixelsPerSample(session.window.options.px);
  for (const auto& dive : session.logbook.dives) {
    std::string name = "d";
    name += std::to_string(dive.diveno);
    name += ".gif";
    if (names.count(name) == 0) continue;
    pictures.push_back(RenderProfile(dive.profile, dive.maxdepth, px));
  }
  return pictures;
}

void ExportLogbook(benchmark::State& state, ExportSetup& setup) {
  if (!setup.imported()) {
    state.SkipWithError("the generated export did not import");
    return;
  }
  Session& session = setup.session();
  ExportHtml(session);  // lays out Output once, so every iteration replaces the same files
  const auto files = OutputFiles(session);
  if (!setup.platform().errors.empty() || !setup.platform().warnings.empty() || files.empty()) {
    state.SkipWithError("the export reported an error or wrote nothing");
    return;
  }
  auto pictures = ExportedPictures(session, files);
  std::size_t bytes = 0;
  for (const auto& file : files) bytes += file.bytes.size();

  double ours = 0, floor = 0, ourEncoding = 0, giflibEncoding = 0;
  for (auto _ : state) {
    Stopwatch clock;
    ExportHtml(session);
    const double elapsed = clock.restart();
    if (!WriteFilesBare(setup.floorDir(), files)) {
      state.SkipWithError("the bare writes failed");
      break;
    }
    floor += clock.restart();
    for (const auto& picture : pictures) {
      CountingSink sink;
      WriteGif(picture, sink);
      benchmark::DoNotOptimize(sink.count);
    }
    ourEncoding += clock.restart();
    for (auto& picture : pictures) benchmark::DoNotOptimize(EncodeWithGiflib(picture));
    giflibEncoding += clock.seconds();
    state.SetIterationTime(elapsed);
    ours += elapsed;
  }
  const auto iterations = static_cast<double>(state.iterations());
  if (iterations == 0 || floor == 0) return;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["pictures"] = static_cast<double>(pictures.size());
  state.counters["floor_ms"] = floor / iterations * 1e3;
  state.counters["our_gif_ms"] = ourEncoding / iterations * 1e3;
  state.counters["giflib_ms"] = giflibEncoding / iterations * 1e3;
  state.counters["ratio"] = ours / floor;
  state.counters["vs_ours"] = ours / (floor + ourEncoding);
  state.counters["vs_giflib"] = ours / (floor + giflibEncoding);
}

}  // namespace
}  // namespace quellmar::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  quellmar::bench::ExportSetup setup({1000, 180, 10, 3});
  benchmark::RegisterBenchmark("export/1000x180", quellmar::bench::ExportLogbook, std::ref(setup))
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
