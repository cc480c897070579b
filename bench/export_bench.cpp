// The whole HTML export (the export command with the bundled templates: index page,
// note pages, profile pictures; answering No to emptying Output and Cancel
// to showing the page) of a generated logbook, against the floor of writing
// the same files with the same bytes by bare open, write and close: one
// open, write and close for each file the export writes, in the order it
// puts them in place, a file written twice written twice. Every iteration also
// times the encoding of every picture the export encodes (the same pictures,
// as often) by our encoder and by giflib, for the two targets:
//   "vs_ours"   = export / (floor + our encoding)
//   "vs_giflib" = export / (floor + giflib's encoding)
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "basic/text_file.h"
#include "bench_support.h"
#include "commands/commands.h"
#include "commands/session.h"
#include "giflib_peer.h"
#include "html_out/gif_encoder.h"
#include "html_out/logbook_paths.h"
#include "html_out/profile_picture.h"
#include "synthetic_export.h"

namespace quellmar::bench {
namespace {

// The generated logbook, imported once, and a directory for the bare writes.
class ExportSetup {
 public:
  explicit ExportSetup(const ExportShape& shape)
      : program_("export", shape), platform_(program_.path()), session_(platform_) {
    imported_ = OpenCsvPathCommand(session_, program_.mainFile()) &&
                static_cast<int>(session_.logbook->dives.size()) == shape.dives;
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

// What one export writes, taken from a recording run: every file it writes,
// in the order it puts them in place and as often as it writes them (a dive's picture
// asked for by both the index page and the note page is written twice), and
// every picture it encodes.
struct ExportWrites {
  std::vector<FileBytes> files;
  std::vector<IndexedImage> pictures;
  std::size_t distinctFiles = 0;
  std::size_t gifWrites = 0;
};

// The picture a file "d" + number + ".gif" holds, drawn again from its dive.
IndexedImage PictureOf(const Session& session, const std::filesystem::path& name) {
  const std::string stem = name.stem().string();
  const std::int32_t number = std::stoi(stem.substr(1));
  const ExportOptions& options = session.window.options;
  for (const Dive& dive : session.logbook->dives) {
    if (dive.number == number) {
      return RenderProfile(dive.profile, dive.maxDepth, PixelsPerSample(options.px));
    }
  }
  return {};
}

ExportWrites RecordExport(ExportSetup& setup) {
  Session& session = setup.session();
  const auto output = OutputFolder(session.platform.programDirectory());
  WriteWatch watch(output);
  ExportHtmlCommand(session);
  const auto names = watch.names();

  ExportWrites writes;
  // A file written twice holds the same bytes both times (the same dive drawn
  // the same way), so each write is replayed with the file's final bytes.
  std::map<std::filesystem::path, std::string> bytes;
  for (const auto& name : names) {
    auto it = bytes.find(name);
    if (it == bytes.end()) {
      it = bytes.emplace(name, ReadWholeFile(output / name).value_or("")).first;
    }
    writes.files.push_back({name, it->second});
    if (name.extension() == ".gif") {
      ++writes.gifWrites;
      writes.pictures.push_back(PictureOf(session, name));
    }
  }
  writes.distinctFiles = bytes.size();
  return writes;
}

void ExportLogbook(benchmark::State& state, ExportSetup& setup) {
  if (!setup.imported()) {
    state.SkipWithError("the generated export did not import");
    return;
  }
  Session& session = setup.session();
  ExportHtmlCommand(session);  // lays out Output once, so every iteration replaces the same files
  auto writes = RecordExport(setup);
  const auto& files = writes.files;
  auto& pictures = writes.pictures;
  if (!setup.platform().errors.empty() || !setup.platform().warnings.empty() || files.empty() ||
      writes.gifWrites != pictures.size()) {
    state.SkipWithError("the export reported an error, wrote nothing or lost a picture");
    return;
  }
  std::size_t bytes = 0;
  for (const auto& file : files) bytes += file.bytes.size();

  double ours = 0, floor = 0, ourEncoding = 0, giflibEncoding = 0;
  for (auto _ : state) {
    Stopwatch clock;
    ExportHtmlCommand(session);
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
  state.counters["writes"] = static_cast<double>(files.size());
  state.counters["files"] = static_cast<double>(writes.distinctFiles);
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
