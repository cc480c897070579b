// A disk that fills up while the export writes its pages and pictures: the
// export runs in a child process whose files may not grow past a limit
// (RLIMIT_FSIZE, with SIGXFSZ ignored, so a write past it fails as on a full
// disk). The child must end normally, the export must end as it says it does,
// and every file is either whole or a cut-off page: no picture is left cut off.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>

#include "robustness/robustness_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Samples(int count, int depth) {
  std::vector<std::string> samples;
  for (int i = 0; i < count; ++i) samples.push_back(std::to_string((i * 7) % depth) + ".5");
  samples.push_back("0.0");
  return samples;
}

// Five dives whose pictures and pages differ in size, so that a limit falls
// before, inside and after them.
void Prepare(ProgramFixture& fixture) {
  fixture.writeTemplates("<html>@totalsac@\r\n",
                         "<p>@diveno@ @location@ @subpage@ @profile_gif@ @note@</p>\r\n",
                         "</html>\r\n", "<h1>@diveno@</h1>@note@ @profile_ico@\r\n");
  std::string main, notes, profiles;
  const int counts[] = {5, 400, 30, 1200, 60};
  for (int i = 0; i < 5; ++i) {
    main += DiveLine(100 + i, i + 1, 10 + 8 * i) + "\r\n";
    notes += std::to_string(100 + i) + ",\"" + std::string(200 * (i + 1), 'n') + "\"\r\n";
    profiles += ProfileLines(100 + i, Samples(counts[i], 10 + 8 * i));
  }
  fixture.writeExport(main, notes, profiles);
  fixture.session.window.options.px = "2";
}

struct ExportRecord {
  std::vector<std::string> history;
  std::vector<std::string> errors;
};

ExportRecord Decode(const std::vector<std::string>& texts) {
  ExportRecord record;
  for (const auto& text : texts) {
    (text[0] == 'H' ? record.history : record.errors).push_back(text.substr(1));
  }
  return record;
}

std::map<std::string, std::string> OutputFiles(const fs::path& output) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(output)) {
    files[entry.path().filename().string()] = ReadFile(entry.path());
  }
  return files;
}

class DiskFull : public ::testing::TestWithParam<rlim_t> {};

TEST_P(DiskFull, EndsNormallyAndLeavesWholeFilesOrCutOffPagesOnly) {
  const rlim_t limit = GetParam();
  ProgramFixture reference;
  Prepare(reference);
  ASSERT_TRUE(reference.open());
  reference.exportHtml(MessageAnswer::Yes);
  ASSERT_TRUE(reference.platform.errors.empty());
  const auto whole = OutputFiles(reference.outputDir());

  ProgramFixture limited;
  Prepare(limited);
  ASSERT_TRUE(limited.open());
  const auto historyStart = limited.session.window.history().size();
  const auto child = RunInChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &fileSize);
    limited.exportHtml(MessageAnswer::Yes);
    std::vector<std::string> texts;
    for (const auto& line : HistoryFrom(limited.session, historyStart)) texts.push_back("H" + line);
    for (const auto& error : limited.platform.errors) texts.push_back("E" + error);
    return texts;
  });
  ASSERT_TRUE(child.exitedNormally) << "signal " << child.signal;
  ASSERT_EQ(child.exitCode, 0);
  const auto record = Decode(child.texts);
  const auto written = OutputFiles(limited.outputDir());

  const bool finished = !record.history.empty() && record.history.back() == "HTML write finished.";
  std::string failedFile;
  if (finished) {
    EXPECT_TRUE(record.errors.empty());
  } else {
    // A picture or the index page could not be written whole: the export
    // stopped there and said so, naming a file too large for the limit.
    ASSERT_EQ(record.errors.size(), 1u);
    EXPECT_EQ(record.history, (std::vector<std::string>{"HTML write started."}));
    const std::string prefix = "Cannot write file " + limited.outputDir().string() + "/";
    ASSERT_TRUE(record.errors[0].starts_with(prefix)) << record.errors[0];
    failedFile =
        record.errors[0].substr(prefix.size(), record.errors[0].size() - prefix.size() - 1);
    ASSERT_TRUE(whole.contains(failedFile)) << failedFile;
    EXPECT_GT(whole.at(failedFile).size(), limit);
  }
  // Pages still open when the export stopped: the index page, and the note
  // page whose picture tag failed (the note template asks for the picture
  // before the lines template does).
  const std::string failedPage =
      failedFile.ends_with(".gif") ? failedFile.substr(0, failedFile.size() - 4) + ".html" : "";
  const auto stillOpen = [&](const std::string& name) {
    return !finished && (name == "logbook.html" || name == failedPage);
  };

  // Every file is what the unlimited export wrote, or the start of it; a
  // picture is whole or not there; a file that fits the limit is whole
  // unless it was still being written when the export stopped.
  for (const auto& [name, bytes] : written) {
    ASSERT_TRUE(whole.contains(name)) << name;
    const auto& full = whole.at(name);
    EXPECT_TRUE(full.starts_with(bytes)) << name;
    if (name.ends_with(".gif")) {
      EXPECT_EQ(bytes, full) << name;
    }
    if (full.size() <= limit && !stillOpen(name)) {
      EXPECT_EQ(bytes, full) << name << " fits the limit";
    }
  }
  if (finished) {
    for (const auto& [name, full] : whole) {
      if (full.size() <= limit) {
        EXPECT_TRUE(written.contains(name)) << name;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Limits, DiskFull,
                         ::testing::Values(rlim_t{0}, rlim_t{100}, rlim_t{700}, rlim_t{2000},
                                           rlim_t{6000}, rlim_t{1} << 24),
                         [](const auto& info) { return "limit_" + std::to_string(info.param); });

}  // namespace
}  // namespace quellmar::testing
