// The whole HTML export (the export command with the bundled templates: index page,
// note pages, profile pictures; answering No to emptying Output and Cancel
// to showing the page) of a generated logbook, on the threads the program
// uses by default (one per core), against floors measured in the same
// iteration, on the same files:
//   the write floor: the same files with the same bytes written by bare open,
//     write and close, one each for each file the export puts in place;
//   the encoding of every picture the export encodes, by our encoder and by
//     giflib;
//   the read floor: the export's four files read and split into lines;
//   one sync of the file system after the bare writes, as the export syncs
//     its files before they are put in place.
// Counters (medians over the iterations, each iteration's ratio taken alone):
//   "vs_ours"    = export / (write floor + our encoding)
//   "vs_giflib"  = export / (write floor + giflib's encoding)
//   "convert_ms" = import + export, as quellmar-convert runs them
//   "durable"    = (import + export) / (read floor + giflib's encoding + write
//                  floor + sync): the floor of a converter that makes its
//                  files durable
//   "over_empty" = export over the earlier logbook / the same export into an
//                  empty Output, run in the same iteration
// The earlier logbook is the same export's, as when a diver exports again;
// in the "/changed" case it is another export's, so that nothing is kept.
// The export and its floors are written where TMPDIR points: a tmpfs such as
// /dev/shm, or a folder on the disk.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
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

// The generated logbook, imported once, and a directory for the bare writes;
// with changed set, also another export whose logbook is the earlier one.
class ExportSetup {
 public:
  ExportSetup(const ExportShape& shape, bool changed)
      : program_("export", shape), platform_(program_.path()), session_(platform_) {
    imported_ = OpenCsvPathCommand(session_, program_.mainFile()) &&
                static_cast<int>(session_.logbook->dives.size()) == shape.dives;
    if (changed) {
      ExportShape other = shape;
      ++other.seed;
      otherMainFile_ = program_.path() / "data" / "other.csv";
      WriteExport(otherMainFile_, other);
    }
  }

  bool imported() const { return imported_; }
  const std::filesystem::path& mainFile() const { return program_.mainFile(); }
  // The export of the earlier logbook when it is not this one's.
  const std::filesystem::path& otherMainFile() const { return otherMainFile_; }
  Session& session() { return session_; }
  BenchPlatform& platform() { return platform_; }
  std::filesystem::path floorDir() const { return program_.path() / "floor"; }

 private:
  ProgramFolder program_;
  BenchPlatform platform_;
  Session session_;
  std::filesystem::path otherMainFile_;
  bool imported_ = false;
};

// Imports the export of mainFile and exports it with the bundled templates.
bool ConvertInto(const std::filesystem::path& programDirectory,
                 const std::filesystem::path& mainFile) {
  BenchPlatform platform(programDirectory);
  Session session(platform);
  const bool imported = OpenCsvPathCommand(session, mainFile);
  ExportHtmlCommand(session);
  return imported && platform.errors.empty();
}

// What one export puts in place, taken from a recording run: every file
// (each once, however often the export wrote it before putting it in place)
// and every picture among them.
struct ExportWrites {
  std::vector<FileBytes> files;
  std::vector<IndexedImage> pictures;
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

// The export writes Output anew and empties it of nothing else, so the files
// there are the ones it put in place.
ExportWrites RecordExport(ExportSetup& setup) {
  Session& session = setup.session();
  const auto output = OutputFolder(session.platform.programDirectory());
  std::filesystem::remove_all(output);
  ExportHtmlCommand(session);
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(output)) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());

  ExportWrites writes;
  for (const auto& name : names) {
    writes.files.push_back({name, ReadWholeFile(output / name).value_or("")});
    if (name.extension() == ".gif") writes.pictures.push_back(PictureOf(session, name));
  }
  return writes;
}

void ExportLogbook(benchmark::State& state, ExportSetup& setup) {
  if (!setup.imported()) {
    state.SkipWithError("the generated export did not import");
    return;
  }
  Session& session = setup.session();
  auto writes = RecordExport(setup);  // also lays out Output, which each iteration replaces
  const auto& files = writes.files;
  auto& pictures = writes.pictures;
  if (!setup.platform().errors.empty() || !setup.platform().warnings.empty() || files.empty()) {
    state.SkipWithError("the export reported an error or wrote nothing");
    return;
  }
  const auto exportFiles = ExportFiles(setup.mainFile());
  std::size_t bytes = 0;
  for (const auto& file : files) bytes += file.bytes.size();

  const auto output = OutputFolder(session.platform.programDirectory());
  std::vector<double> exports, converts, floors, syncs, ours, giflib, vsOurs, vsGiflib, durable,
      empties, overEmpty;
  for (auto _ : state) {
    if (!setup.otherMainFile().empty() &&
        !ConvertInto(session.platform.programDirectory(), setup.otherMainFile())) {
      state.SkipWithError("the export of the earlier logbook failed");
      break;
    }
    Stopwatch clock;
    BenchPlatform platform(session.platform.programDirectory());
    Session fresh(platform);
    const bool imported = OpenCsvPathCommand(fresh, setup.mainFile());
    const double import = clock.restart();
    ExportHtmlCommand(fresh);
    const double exported = clock.restart();
    benchmark::DoNotOptimize(ReadAndSplitLines(exportFiles));
    const double read = clock.restart();
    // New files in an empty folder, as the export makes them: writing over
    // files would free their blocks first.
    std::filesystem::create_directory(setup.floorDir());
    clock.restart();
    if (!imported || !platform.errors.empty() || !WriteFilesBare(setup.floorDir(), files)) {
      state.SkipWithError("the import, the export or the bare writes failed");
      break;
    }
    const double write = clock.restart();
    if (!SyncFileSystem(setup.floorDir())) {
      state.SkipWithError("the sync failed");
      break;
    }
    const double sync = clock.restart();
    for (const auto& picture : pictures) {
      CountingSink sink;
      WriteGif(picture, sink);
      benchmark::DoNotOptimize(sink.count);
    }
    const double ourEncoding = clock.restart();
    for (auto& picture : pictures) benchmark::DoNotOptimize(EncodeWithGiflib(picture));
    const double giflibEncoding = clock.restart();
    std::filesystem::remove_all(setup.floorDir());
    std::filesystem::remove_all(output);
    clock.restart();
    const bool again = ConvertInto(session.platform.programDirectory(), setup.mainFile());
    const double intoEmpty = clock.seconds();
    if (!again) {
      state.SkipWithError("the export into an empty Output failed");
      break;
    }
    state.SetIterationTime(exported);
    exports.push_back(exported);
    converts.push_back(import + exported);
    floors.push_back(write);
    syncs.push_back(sync);
    ours.push_back(ourEncoding);
    giflib.push_back(giflibEncoding);
    vsOurs.push_back(exported / (write + ourEncoding));
    vsGiflib.push_back(exported / (write + giflibEncoding));
    durable.push_back((import + exported) / (read + giflibEncoding + write + sync));
    empties.push_back(intoEmpty);
    overEmpty.push_back(exported / intoEmpty);
  }
  if (exports.empty()) return;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["threads"] = session.exportThreads;
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["pictures"] = static_cast<double>(pictures.size());
  state.counters["export_ms"] = Median(exports) * 1e3;
  state.counters["convert_ms"] = Median(converts) * 1e3;
  state.counters["floor_ms"] = Median(floors) * 1e3;
  state.counters["sync_ms"] = Median(syncs) * 1e3;
  state.counters["our_gif_ms"] = Median(ours) * 1e3;
  state.counters["giflib_ms"] = Median(giflib) * 1e3;
  state.counters["vs_ours"] = Median(vsOurs);
  state.counters["vs_giflib"] = Median(vsGiflib);
  state.counters["durable"] = Median(durable);
  state.counters["empty_ms"] = Median(empties) * 1e3;
  state.counters["over_empty"] = Median(overEmpty);
}

}  // namespace
}  // namespace quellmar::bench

int main(int argc, char** argv) {
  using quellmar::bench::ExportSetup;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // Five iterations each, interleaved with their floors, so that the noise of
  // a shared machine hits both alike; the counters are their medians.
  const quellmar::bench::ExportShape shapes[] = {
      {1000, 180, 10, 3}, {2000, 180, 10, 3}, {10000, 180, 10, 3}};
  std::vector<std::unique_ptr<ExportSetup>> setups;
  const auto add = [&setups](const quellmar::bench::ExportShape& shape, bool changed) {
    auto& setup = *setups.emplace_back(std::make_unique<ExportSetup>(shape, changed));
    const std::string name =
        "export/" + std::to_string(shape.dives) + "x180" + (changed ? "/changed" : "");
    benchmark::RegisterBenchmark(name.c_str(), quellmar::bench::ExportLogbook, std::ref(setup))
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
  };
  for (const auto& shape : shapes) add(shape, false);
  // Over a logbook of another export, every page and picture different.
  add(shapes[2], true);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
