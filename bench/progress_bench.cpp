// The cost of showing progress: the Qt window (MainWindow under the offscreen
// platform, shown, following the import and the export on its memo, lists and
// progress bar) against the same commands on a session with no view, the way
// quellmar-convert runs them. Both run in every iteration on the same logbook;
// the reported time is the window's, "ratio" is window / no view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <clocale>
#include <memory>
#include <optional>

#include "bench_support.h"
#include "commands/commands.h"
#include "commands/session.h"
#include "main_window.h"

namespace quellmar::bench {
namespace {

struct Program {
  explicit Program(const ProgramFolder& folder) : platform(folder.path()) {
    platform.choice = folder.mainFile().string();
  }
  BenchPlatform platform;
};

void Report(benchmark::State& state, double window, double bare) {
  const auto iterations = static_cast<double>(state.iterations());
  if (iterations == 0 || bare == 0) return;
  state.counters["bare_ms"] = bare / iterations * 1e3;
  state.counters["ratio"] = window / bare;
}

// A window of its own, shown and settled, over a session of its own.
struct Window {
  explicit Window(Platform& platform) : session(platform), window(session) {
    window.show();
    QApplication::processEvents();
  }
  Session session;
  MainWindow window;
};

// One import on a session of its own, with the window or without a view: the
// time of the command alone, or nothing when it failed. The session is made
// before and freed after the clock runs, so neither run inherits the other's
// memory.
std::optional<double> TimedImport(BenchPlatform& platform, bool withWindow) {
  if (withWindow) {
    Window shown(platform);
    Stopwatch clock;
    shown.window.controller().openCsv();
    const double elapsed = clock.seconds();
    if (!shown.session.logbook.has_value()) return std::nullopt;
    return elapsed;
  }
  Session session(platform);
  Stopwatch clock;
  const bool opened = OpenCsvCommand(session);
  const double elapsed = clock.seconds();
  if (!opened) return std::nullopt;
  return elapsed;
}

void ImportWithProgress(benchmark::State& state, const ProgramFolder& folder) {
  Program program(folder);
  double window = 0;
  double bare = 0;
  bool windowFirst = false;
  for (auto _ : state) {
    // Taking turns at going first evens out what the first run leaves behind.
    windowFirst = !windowFirst;
    const auto first = TimedImport(program.platform, windowFirst);
    const auto second = TimedImport(program.platform, !windowFirst);
    if (!first || !second) {
      state.SkipWithError("the import failed");
      break;
    }
    const double elapsed = windowFirst ? *first : *second;
    window += elapsed;
    bare += windowFirst ? *second : *first;
    state.SetIterationTime(elapsed);
  }
  Report(state, window, bare);
}

void ExportWithProgress(benchmark::State& state, const ProgramFolder& folder) {
  Program program(folder);
  Session session(program.platform);
  Window shown(program.platform);
  const bool opened = OpenCsvCommand(session);
  shown.window.controller().openCsv();
  if (!opened || !shown.session.logbook.has_value()) {
    state.SkipWithError("the import failed");
    return;
  }
  const auto timeWindow = [&] {
    Stopwatch clock;
    shown.window.controller().exportHtml();
    return clock.seconds();
  };
  bool exported = true;
  const auto timeBare = [&] {
    Stopwatch clock;
    exported = ExportHtmlCommand(session) && exported;
    return clock.seconds();
  };
  double window = 0;
  double bare = 0;
  bool windowFirst = false;
  for (auto _ : state) {
    windowFirst = !windowFirst;
    double elapsed = 0;
    if (windowFirst) {
      elapsed = timeWindow();
      bare += timeBare();
    } else {
      bare += timeBare();
      elapsed = timeWindow();
    }
    window += elapsed;
    state.SetIterationTime(elapsed);
    if (!exported || !program.platform.errors.empty()) {
      state.SkipWithError("the export failed");
      break;
    }
  }
  Report(state, window, bare);
}

}  // namespace
}  // namespace quellmar::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  std::setlocale(LC_ALL, "C");
  // The export of 1,000 dives takes a few tens of milliseconds, about as long
  // as one repaint of the window; 10,000 dives show the cost of long work.
  const quellmar::bench::ProgramFolder small("progress-1000", {1000, 180, 10, 5});
  const quellmar::bench::ProgramFolder large("progress-10000", {10000, 180, 10, 5});
  const auto add = [](const char* name, auto* run, const quellmar::bench::ProgramFolder& folder) {
    benchmark::RegisterBenchmark(name, run, std::cref(folder))
        ->UseManualTime()
        ->MinTime(2)
        ->Unit(benchmark::kMillisecond);
  };
  add("progress/import/10000x180", quellmar::bench::ImportWithProgress, large);
  add("progress/export/1000x180", quellmar::bench::ExportWithProgress, small);
  add("progress/export/10000x180", quellmar::bench::ExportWithProgress, large);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
