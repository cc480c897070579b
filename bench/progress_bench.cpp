// The cost of showing progress: the Qt window (TForm1 under the offscreen
// platform, shown, following the import and the export on its memo, lists and
// progress bar) against the same commands on a session with no view, the way
// quellmar-convert runs them. Both run in every iteration on the same logbook;
// the reported time is the window's, "ratio" is window / no view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <clocale>
#include <memory>

#include "bench_support.h"
#include "main/commands.h"
#include "main/session.h"
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
  explicit Window(Platform& platform) : session(platform), form(session) {
    form.show();
    QApplication::processEvents();
  }
  Session session;
  TForm1 form;
};

void ImportWithProgress(benchmark::State& state, const ProgramFolder& folder) {
  Program program(folder);
  double window = 0;
  double bare = 0;
  for (auto _ : state) {
    {
      Session session(program.platform);
      Stopwatch clock;
      const bool opened = OpenCsvCommand(session);
      bare += clock.seconds();
      if (!opened) {
        state.SkipWithError("the import failed");
        break;
      }
    }
    auto shown = std::make_unique<Window>(program.platform);
    Stopwatch clock;
    shown->form.TBOpenClick();
    const double elapsed = clock.seconds();
    window += elapsed;
    state.SetIterationTime(elapsed);
    if (!shown->session.logbook.csvopen) {
      state.SkipWithError("the window's import failed");
      break;
    }
  }
  Report(state, window, bare);
}

void ExportWithProgress(benchmark::State& state, const ProgramFolder& folder) {
  Program program(folder);
  Session session(program.platform);
  Window shown(program.platform);
  const bool opened = OpenCsvCommand(session);
  shown.form.TBOpenClick();
  if (!opened || !shown.session.logbook.csvopen) {
    state.SkipWithError("the import failed");
    return;
  }
  double window = 0;
  double bare = 0;
  for (auto _ : state) {
    Stopwatch clock;
    const bool exported = ExportHtmlCommand(session);
    bare += clock.restart();
    shown.form.MList_htmlClick();
    const double elapsed = clock.seconds();
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
  const quellmar::bench::ProgramFolder imports("progress-import", {10000, 180, 10, 5});
  const quellmar::bench::ProgramFolder exports("progress-export", {1000, 180, 10, 5});
  benchmark::RegisterBenchmark("progress/import/10000x180", quellmar::bench::ImportWithProgress,
                               std::cref(imports))
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("progress/export/1000x180", quellmar::bench::ExportWithProgress,
                               std::cref(exports))
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
