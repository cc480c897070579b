// The memory an import takes grows with the export, by a small factor: an
// export of about 20 MB is imported in a child process, whose peak resident
// size is measured before and after. The growth is printed; the bound is
// generous, to catch a copy too many per line, not to measure.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "robustness/robustness_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;

std::int64_t PeakResidentBytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;  // reported in kilobytes
}

// Writes the export line by line, so the test itself never holds it whole.
std::int64_t WriteLargeExport(const ProgramFixture& fixture, int dives) {
  std::ofstream main(fixture.mainFile(), std::ios::binary);
  std::ofstream notes(fixture.exportDir() / "log$NOT.CSV", std::ios::binary);
  std::ofstream profiles(fixture.exportDir() / "log$PRO.CSV", std::ios::binary);
  std::ofstream(fixture.exportDir() / "log$DGE.CSV", std::ios::binary);
  for (int i = 0; i < dives; ++i) {
    main << DiveLine(i, dives - i, 10 + i % 40, "Location number " + std::to_string(i % 97),
                     "A dive site with a longer name " + std::to_string(i % 13))
         << "\r\n";
    notes << i << ",\"A note line about dive " << i << " with some words  and a break\"\r\n";
    for (int s = 0; s < 12; ++s) profiles << i << ',' << s << ',' << (s * 3 + i % 5) << ".25\r\n";
  }
  main.close();
  notes.close();
  profiles.close();
  std::int64_t size = 0;
  for (const auto& entry : fs::directory_iterator(fixture.exportDir())) {
    size += static_cast<std::int64_t>(entry.file_size());
  }
  return size;
}

TEST(ImportMemory, GrowsWithinASmallMultipleOfTheExport) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' shadow memory hides the import's own use";
#endif
  ProgramFixture fixture;
  const int dives = 55000;
  const std::int64_t exportSize = WriteLargeExport(fixture, dives);
  ASSERT_GT(exportSize, 19 << 20);

  const auto child = RunInChild([&] {
    const auto before = PeakResidentBytes();
    const bool imported = fixture.open();
    const auto after = PeakResidentBytes();
    return std::vector<std::string>{
        imported ? "1" : "0",
        std::to_string(fixture.session.logbook ? fixture.session.logbook->dives.size() : 0),
        std::to_string(after - before)};
  });
  ASSERT_TRUE(child.exitedNormally && child.exitCode == 0);
  ASSERT_EQ(child.texts.size(), 3u);
  EXPECT_EQ(child.texts[0], "1");
  EXPECT_EQ(child.texts[1], std::to_string(dives));
  const std::int64_t growth = std::stoll(child.texts[2]);
  std::cout << "export " << exportSize / 1024 << " KiB, import's peak growth " << growth / 1024
            << " KiB (" << static_cast<double>(growth) / static_cast<double>(exportSize)
            << " x the export)\n";
  RecordProperty("export_bytes", std::to_string(exportSize));
  RecordProperty("import_growth_bytes", std::to_string(growth));
  EXPECT_LT(growth, 4 * exportSize + (std::int64_t{50} << 20));
}

// A main file larger than the memory the import may take is reported as
// running out of memory during the import (it used to end the converter with
// a bare std::bad_alloc), and no logbook is left loaded.
TEST(ImportMemory, RunningOutIsReportedAsSuch) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
  ProgramFixture fixture;
  fixture.writeExport("", "", "");
  fs::resize_file(fixture.mainFile(), std::uintmax_t{2} << 30);  // sparse: takes no disk
  const auto child = RunInChild([&] {
    const rlimit memory{rlim_t{1} << 30, rlim_t{1} << 30};
    ::setrlimit(RLIMIT_AS, &memory);
    const bool imported = fixture.open();
    std::vector<std::string> texts{imported ? "imported" : "failed",
                                   fixture.session.logbook ? "loaded" : "none"};
    texts.insert(texts.end(), fixture.platform.errors.begin(), fixture.platform.errors.end());
    return texts;
  });
  ASSERT_TRUE(child.exitedNormally && child.exitCode == 0);
  EXPECT_EQ(child.texts,
            (std::vector<std::string>{"failed", "none", "Out of memory during the CSV import."}));
}

}  // namespace
}  // namespace quellmar::testing
