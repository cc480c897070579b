#include "import/logbook_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "import/export_files.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include "robustness/robustness_support.h"
#endif

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using testing::DiveLine;
using testing::JoinLines;
using testing::WriteExport;
using Lines = std::vector<std::string>;

constexpr const char* kBr = "<br>\n\r";

// What an import told, in order, and what it came to.
struct Imported : ImportReport {
  void progressStarted(std::int64_t size) override { steps.emplace_back(size, 0); }
  void progress(std::int64_t position) override {
    steps.emplace_back(steps.empty() ? -1 : steps.back().first, position);
  }
  void companionUnreadable(Companion which, const fs::path& file, const std::string&) override {
    events.push_back((which == Companion::Note ? "notes unreadable: " : "profiles unreadable: ") +
                     file.filename().string());
  }
  void mainFileOpened() override { events.push_back("opened"); }
  void readWithLineFeeds(const fs::path& file) override {
    events.push_back("line feeds: " + file.filename().string());
  }
  void endedAtCtrlZ(const fs::path& file, std::uint64_t line, std::uint64_t left) override {
    events.push_back("Ctrl-Z: " + file.filename().string() + " line " + std::to_string(line) +
                     ", " + std::to_string(left) + " left");
  }

  Lines events;
  std::vector<std::pair<std::int64_t, std::int64_t>> steps;  // progress: (size, position)
  std::optional<Logbook> book;
  std::optional<ImportError> error;
};

Imported Import(const fs::path& main) {
  Imported imported;
  auto found = FindExportFiles(main, imported);
  if (auto* error = std::get_if<ImportError>(&found)) {
    imported.error = *error;
    return imported;
  }
  auto read = ReadExport(std::get<ExportFiles>(found), imported);
  if (auto* error = std::get_if<ImportError>(&read)) {
    imported.error = *error;
  } else {
    imported.book = std::move(std::get<Logbook>(read));
  }
  return imported;
}

Lines Sites(const Logbook& book) {
  Lines sites;
  for (const auto& dive : book.dives) sites.push_back(dive.site);
  return sites;
}

TEST(Import, ReadsTheExport) {
  testing::TempDir dir;
  const auto main = WriteExport(
      dir, "",
      JoinLines({DiveLine(2001, 12, "Dahab", "Canyon"), DiveLine(2002, 3, "Safaga", "Panorama")}),
      JoinLines({"2001,\"Strong  current\"", "2002,\"Turtle\"", "2002,\"and a ray\""}),
      JoinLines({"2001,0,0.0", "2001,1,5.5", "2002,0,0", "2002,1,3.2", "2002,2,0"}));
  const auto imported = Import(main);
  ASSERT_TRUE(imported.book);
  EXPECT_EQ(imported.events, Lines{"opened"});
  const auto& dives = imported.book->dives;
  ASSERT_EQ(dives.size(), 2u);
  EXPECT_EQ(dives[0].number, 3);
  EXPECT_EQ(dives[0].note, std::string("Turtle") + kBr + "and a ray");
  EXPECT_EQ(dives[0].profile, "0,3.2,0");
  EXPECT_TRUE(dives[0].hasProfile());
  EXPECT_EQ(dives[1].number, 12);
  EXPECT_EQ(dives[1].note, std::string("Strong") + kBr + "current");
  EXPECT_EQ(dives[1].profile, "0.0,5.5");
}

fs::path GoodExportIn(const testing::TempDir& dir, const std::string& folder) {
  return WriteExport(dir, folder, JoinLines({DiveLine(1, 5), DiveLine(2, 6)}),
                     JoinLines({"1,\"new note\""}), JoinLines({"1,0,1.5", "1,1,3.0"}));
}

fs::path WithoutCompanion(const testing::TempDir& dir, const char* suffix) {
  const auto main = GoodExportIn(dir, "b");
  fs::remove(dir.path() / "b" / (std::string("logbook") + suffix));
  return main;
}

fs::path WithCompanionAsDirectory(const testing::TempDir& dir, const char* suffix) {
  const auto main = WithoutCompanion(dir, suffix);
  fs::create_directory(dir.path() / "b" / (std::string("logbook") + suffix));
  return main;
}

struct FailureRow {
  const char* name;
  // Makes the failing export in the test folder; returns its main file.
  std::function<fs::path(const testing::TempDir&)> make;
  std::optional<ImportError::Kind> error;
  const char* file;  // the file the error or the event names
  Lines events;
  const char* reason = nullptr;  // the error's, in the system's words; nullptr: any
  bool asOtherUser = false;      // run as a user who meets the permissions, as root does not
};

#ifndef _WIN32
// The import run as the user nobody in a child process, as root passes every
// permission: its error's kind, file and reason.
Imported ImportAsOtherUser(const fs::path& main) {
  const auto child = testing::RunInChild([&main]() -> Lines {
    if (!testing::BecomeNobody()) return {};
    const auto error = Import(main).error;
    if (!error) return {};
    return {std::to_string(static_cast<int>(error->kind)), error->file.string(), error->reason};
  });
  Imported imported;
  if (child.texts.size() == 3) {
    imported.error = ImportError{static_cast<ImportError::Kind>(std::stoi(child.texts[0])),
                                 child.texts[1], child.texts[2]};
  }
  return imported;
}
#endif

using Kind = ImportError::Kind;
const FailureRow kFailureRows[] = {
    {"main_file_missing",
     [](const testing::TempDir& dir) { return dir.path() / "b" / "none.csv"; },
     Kind::MainFileNotFound,
     "none.csv",
     {}},
    {"dge_missing",
     [](const testing::TempDir& dir) { return WithoutCompanion(dir, "$DGE.CSV"); },
     Kind::CompanionMissing,
     "logbook$DGE.CSV",
     {}},
    {"notes_missing",
     [](const testing::TempDir& dir) { return WithoutCompanion(dir, "$NOT.CSV"); },
     Kind::CompanionMissing,
     "logbook$NOT.CSV",
     {}},
    {"profiles_missing",
     [](const testing::TempDir& dir) { return WithoutCompanion(dir, "$PRO.CSV"); },
     Kind::CompanionMissing,
     "logbook$PRO.CSV",
     {}},
    {"notes_cannot_be_opened",
     [](const testing::TempDir& dir) { return WithCompanionAsDirectory(dir, "$NOT.CSV"); },
     std::nullopt,
     "",
     {"notes unreadable: logbook$NOT.CSV", "opened"}},
    {"profiles_cannot_be_opened",
     [](const testing::TempDir& dir) { return WithCompanionAsDirectory(dir, "$PRO.CSV"); },
     std::nullopt,
     "",
     {"profiles unreadable: logbook$PRO.CSV", "opened"}},
    {"main_file_cannot_be_opened",
     [](const testing::TempDir& dir) {
       const auto main = GoodExportIn(dir, "b");
       fs::remove(main);
       fs::create_directory(main);
       return main;
     },
     Kind::MainFileUnreadable,
     "logbook.csv",
     {}},
#ifndef _WIN32
    {"main_file_in_a_folder_that_cannot_be_searched",
     [](const testing::TempDir& dir) {
       const auto main = GoodExportIn(dir, "b");
       fs::permissions(main.parent_path(), fs::perms::owner_read | fs::perms::owner_write);
       return main;
     },
     Kind::MainFileNotFound,
     "logbook.csv",
     {},
     "Permission denied",
     true},
#endif
};

TEST(Import, FailureTable) {
  for (const auto& row : kFailureRows) {
    SCOPED_TRACE(row.name);
    testing::TempDir dir;
    const auto main = row.make(dir);
#ifndef _WIN32
    const auto imported = row.asOtherUser ? ImportAsOtherUser(main) : Import(main);
#else
    const auto imported = Import(main);
#endif
    EXPECT_EQ(imported.events, row.events);
    if (row.error) {
      ASSERT_TRUE(imported.error);
      EXPECT_EQ(imported.error->kind, *row.error);
      EXPECT_EQ(imported.error->file.filename(), row.file);
      if (row.reason) {
        EXPECT_EQ(imported.error->reason, row.reason);
      } else {
        EXPECT_FALSE(imported.error->reason.empty());
      }
    } else {
      // Read without the broken companion.
      ASSERT_TRUE(imported.book);
      ASSERT_EQ(imported.book->dives.size(), 2u);
      for (const auto& dive : imported.book->dives) {
        EXPECT_TRUE(dive.note.empty() || dive.hasProfile() == false) << dive.number;
      }
    }
  }
}

TEST(Import, ProgressStartsOnceTheMainFileIsFound) {
  testing::TempDir dir;
  EXPECT_TRUE(Import(dir.path() / "missing.csv").steps.empty());
  const auto main = WithoutCompanion(dir, "$PRO.CSV");
  const auto imported = Import(main);
  using Step = std::pair<std::int64_t, std::int64_t>;
  EXPECT_EQ(imported.steps,
            (std::vector<Step>{{static_cast<std::int64_t>(fs::file_size(main)), 0}}));
}

struct SummaryDive {
  int diveTime;
  int maxDepth;
  int sac;
};

struct SummaryRow {
  const char* name;
  std::vector<SummaryDive> dives;
  Summary summary;  // total and average time, deepest, average SAC
};

// clang-format off
const SummaryRow kSummaryRows[] = {
    {"times",                      {{1800, 10, 0}, {2125, 10, 0}},               {3925, 1962, 10, 0}},
    {"sac_zero_not_counted",       {{60, 5, 20}, {60, 5, 0}, {60, 5, 16}},       {180, 60, 5, 18}},
    {"sac_truncated",              {{60, 5, 20}, {60, 5, 15}},                   {120, 60, 5, 17}},
    {"deepest",                    {{100, 18, 1}, {100, 32, 1}, {100, 27, 1}},   {300, 100, 32, 1}},
    {"one_dive",                   {{2700, 24, 14}},                             {2700, 2700, 24, 14}},
    {"no_dive",                    {},                                           {0, 0, 0, 0}},
    {"negative_values",            {{-100, -3, -5}},                             {-100, -100, 0, 0}},
    {"negative_average_truncates", {{-7, 1, 1}, {0, 1, 1}},                      {-7, -3, 1, 1}},
    {"wrapped_time",               {{40000, 1, 1}},                              {-25536, -25536, 1, 1}},
};
// clang-format on

TEST(Import, SummaryTable) {
  for (const auto& row : kSummaryRows) {
    SCOPED_TRACE(row.name);
    Lines lines;
    int id = 1;
    for (const auto& dive : row.dives) {
      lines.push_back(DiveLine(id, id, "L", "S", dive.diveTime, dive.maxDepth, dive.sac));
      ++id;
    }
    testing::TempDir dir;
    const auto imported = Import(WriteExport(dir, "", JoinLines(lines), "", ""));
    ASSERT_TRUE(imported.book);
    const Summary& summary = imported.book->summary;
    EXPECT_EQ(summary.totalDiveTime, row.summary.totalDiveTime);
    EXPECT_EQ(summary.averageDiveTime, row.summary.averageDiveTime);
    EXPECT_EQ(summary.deepest, row.summary.deepest);
    EXPECT_EQ(summary.averageSac, row.summary.averageSac);
    EXPECT_EQ(imported.book->dives.size(), row.dives.size());
  }
}

TEST(Import, EqualDiveNumbersInTheSortsOrder) {
  testing::TempDir dir;
  const auto main = WriteExport(
      dir, "",
      JoinLines({DiveLine(1, 3, "L", "a"), DiveLine(2, 1, "L", "b"), DiveLine(3, 3, "L", "c"),
                 DiveLine(4, 2, "L", "d"), DiveLine(5, 3, "L", "e")}),
      "", "");
  EXPECT_EQ(Sites(*Import(main).book), (Lines{"b", "d", "e", "a", "c"}));
}

TEST(Import, DivesOfOneKeyShareNoteAndProfile) {
  testing::TempDir dir;
  const auto main =
      WriteExport(dir, "", JoinLines({DiveLine(7, 2), DiveLine(7, 1), DiveLine(7, 3)}),
                  JoinLines({"7,\"two  spaces\"", "7,\"more\""}), JoinLines({"7,0,0", "7,1,9.5"}));
  const auto imported = Import(main);
  for (const auto& dive : imported.book->dives) {
    EXPECT_EQ(dive.note, std::string("two") + kBr + "spaces" + kBr + "more");
    EXPECT_EQ(dive.profile, "0,9.5");
  }
}

TEST(Import, ProgressRunsFromZeroToTheFileSize) {
  testing::TempDir dir;
  const std::string site(70000, 's');  // a long line moves it on too
  const auto main = WriteExport(
      dir, "", JoinLines({DiveLine(1, 1), DiveLine(2, 2, "L", site), DiveLine(3, 3)}), "", "");
  const auto imported = Import(main);
  const auto size = static_cast<std::int64_t>(fs::file_size(main));
  ASSERT_EQ(imported.steps.size(), 4u);
  std::int64_t last = -1;
  for (const auto& [max, position] : imported.steps) {
    EXPECT_EQ(max, size);
    EXPECT_GT(position, last);
    last = position;
  }
  EXPECT_EQ(last, size);
  EXPECT_EQ(imported.book->dives[1].site, site);
}

struct EndingRow {
  const char* name;
  std::string end;    // after each line
  std::string after;  // after the last line end
  bool finalEnd;      // the last line has its line end
  Lines events;
};

const Lines kOpened = {"opened"};
// The notes, the profiles and the main file each cut short after their
// lines (2, 4, 2) by the 10 bytes after the Ctrl-Z.
const Lines kCutShort = {"Ctrl-Z: logbook$NOT.CSV line 3, 10 left",
                         "Ctrl-Z: logbook$PRO.CSV line 5, 10 left", "opened",
                         "Ctrl-Z: logbook.csv line 3, 10 left"};

// clang-format off
const EndingRow kEndingRows[] = {
    {"crlf",                 "\r\n", "",                  true,  kOpened},
    {"cr",                   "\r",   "",                  true,  kOpened},
    {"no_final_line_end",    "\r\n", "",                  false, kOpened},
    {"ctrl_z_at_the_end",    "\r\n", "\x1a",              true,  kOpened},
    {"ctrl_z_before_junk",   "\r\n", "\x1a" "9,9,junk\r\n", true,  kCutShort},
};
// clang-format on

std::string Lines2(const Lines& lines, const EndingRow& row) {
  std::string text = JoinLines(lines, row.end);
  if (!row.finalEnd) text.resize(text.size() - row.end.size());
  return text + row.after;
}

TEST(Import, LineRuleInEveryFile) {
  const Lines main = {DiveLine(1, 1), DiveLine(2, 2)};
  const Lines notes = {"1,\"note one\"", "2,\"note two\""};
  const Lines profiles = {"1,0,1.5", "1,1,3.0", "2,0,2.5", "2,1,4.0"};
  for (const auto& row : kEndingRows) {
    SCOPED_TRACE(row.name);
    testing::TempDir dir;
    const auto imported =
        Import(WriteExport(dir, "", Lines2(main, row), Lines2(notes, row), Lines2(profiles, row)));
    const auto& dives = imported.book->dives;
    ASSERT_EQ(dives.size(), 2u);
    EXPECT_EQ(dives[0].note, "note one");
    EXPECT_EQ(dives[1].note, "note two");
    EXPECT_EQ(dives[0].profile, "1.5,3.0");
    EXPECT_EQ(dives[1].profile, "2.5,4.0");
    EXPECT_EQ(imported.events, row.events);
  }
}

// A CSV file without any carriage return is read with line feeds as line
// ends (it used to read as one line, importing one dive of many), and the
// import tells so once for each such file.
TEST(Import, LineFeedsAloneAreLineEndsInAFileWithoutCarriageReturns) {
  testing::TempDir dir;
  const auto main = WriteExport(dir, "", JoinLines({DiveLine(1, 1), DiveLine(2, 2)}, "\n"),
                                JoinLines({"1,\"note one\"", "2,\"note two\""}, "\n"),
                                JoinLines({"1,0,1.5", "1,1,3.0"}, "\n"));
  const auto imported = Import(main);
  ASSERT_EQ(imported.book->dives.size(), 2u);
  EXPECT_EQ(imported.book->dives[0].key, 1);
  EXPECT_EQ(imported.book->dives[0].note, "note one");
  EXPECT_EQ(imported.book->dives[0].profile, "1.5,3.0");
  EXPECT_EQ(imported.events, (Lines{"line feeds: logbook$NOT.CSV", "line feeds: logbook$PRO.CSV",
                                    "opened", "line feeds: logbook.csv"}));
}

std::string Garbage(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (auto& byte : bytes) byte = static_cast<char>(random() & 0xff);
  return bytes;
}

struct OddCompanionRow {
  const char* name;
  std::string notes;
  std::string profiles;
  // Of dive 1's note and profile; nothing for garbage, whose keys are
  // whatever its bytes read as.
  std::optional<std::size_t> noteSize;
  std::optional<std::size_t> profileSize;
  Lines events = kOpened;
};

// Random bytes hold a Ctrl-Z early on.
const Lines kGarbageCutShort = {"Ctrl-Z: logbook$NOT.CSV line 1, 1048502 left",
                                "Ctrl-Z: logbook$PRO.CSV line 1, 1048489 left", "opened"};

// clang-format off
const OddCompanionRow kOddCompanionRows[] = {
    {"empty_files",   "",             "",             0, 0},
    {"only_ctrl_z",   "\x1a",         "\x1a",         0, 0},
    {"only_line_ends","\r\n\r\n\r",     "\r\r\r\n",       0, 0},
    {"nul_bytes",     std::string("1,\"a\0b\"\r\n", 9), std::string("1,0,\0\0\r\n1,1,5", 13), 3, 4},
    {"garbage",       Garbage(1 << 20, 1), Garbage(1 << 20, 2), std::nullopt, std::nullopt, kGarbageCutShort},
    {"line_of_spaces","1," + std::string(300001, ' '), "", 150000 * 6 + 1, 0},
};
// clang-format on

Logbook ImportWithKeyOne(const std::string& notes, const std::string& profiles,
                         const Lines& events = kOpened) {
  // Dive 2 has key 1, the key of the companions' lines.
  testing::TempDir dir;
  auto imported = Import(
      WriteExport(dir, "", JoinLines({DiveLine(1000000001, 1), DiveLine(1, 2)}), notes, profiles));
  EXPECT_EQ(imported.events, events);
  EXPECT_EQ(imported.book->dives.size(), 2u);
  return std::move(*imported.book);
}

TEST(Import, OddCompanionsImport) {
  for (const auto& row : kOddCompanionRows) {
    SCOPED_TRACE(row.name);
    const Dive dive = ImportWithKeyOne(row.notes, row.profiles, row.events).dives.back();
    if (row.noteSize) {
      EXPECT_EQ(dive.note.size(), *row.noteSize);
    }
    if (row.profileSize) {
      EXPECT_EQ(dive.profile.size(), *row.profileSize);
    }
  }
}

TEST(Import, FiftyMegabyteLines) {
  const std::string huge(50 * 1000 * 1000, 'x');
  EXPECT_EQ(ImportWithKeyOne("1,\"" + huge + "  \"\r\n1,\"end\"", "").dives.back().note,
            huge + kBr + "end");
  EXPECT_EQ(ImportWithKeyOne("", "1,0," + huge + "\r\n1,1,2").dives.back().profile, huge + ",2");
}

TEST(Import, GarbageMainFileImports) {
  testing::TempDir dir;
  for (unsigned seed = 1; seed <= 4; ++seed) {
    const auto main = WriteExport(dir, "garbage" + std::string(1, static_cast<char>('0' + seed)),
                                  Garbage(1 << 18, seed), Garbage(1 << 16, seed + 10),
                                  Garbage(1 << 16, seed + 20));
    EXPECT_TRUE(Import(main).book);
  }
}

TEST(Import, CompanionNamesInOtherLetterCase) {
#ifdef _WIN32
  GTEST_SKIP() << "names that differ only in letter case cannot both exist on Windows";
#endif
  testing::TempDir dir;
  dir.write("logbook$dge.csv", "");
  dir.write("logbook$Not.Csv", "1,\"first in name order\"\r\n");
  dir.write("logbook$nOT.CSV", "1,\"second in name order\"\r\n");
  dir.write("logbook$pro.csv", "1,0,1.5\r\n1,1,3.0\r\n");
  const auto main = dir.write("logbook.csv", DiveLine(1, 1) + "\r\n");
  auto dive = Import(main).book->dives[0];
  EXPECT_EQ(dive.note, "first in name order");
  EXPECT_EQ(dive.profile, "1.5,3.0");

  // The exact name wins over every other case.
  dir.write("logbook$NOT.CSV", "1,\"exact name\"\r\n");
  EXPECT_EQ(Import(main).book->dives[0].note, "exact name");
}

TEST(Import, CompanionNamesFromTheLastFourCharactersCut) {
  testing::TempDir dir;
  const auto main =
      WriteExport(dir, "", JoinLines({DiveLine(1, 1)}), JoinLines({"1,\"hello\""}), "", "log");
  const auto txt = dir.path() / "log.txt";
  fs::rename(main, txt);
  EXPECT_EQ(Import(txt).book->dives[0].note, "hello");
  // A name of four characters or fewer leaves nothing before the suffixes.
  WriteExport(dir, "", JoinLines({DiveLine(1, 1)}), JoinLines({"1,\"short\""}), "", "");
  fs::rename(dir.path() / ".csv", dir.path() / "abc");
  EXPECT_EQ(Import(dir.path() / "abc").book->dives[0].note, "short");
}

TEST(Import, CompanionsAreFoundBesideTheMainFileNotInTheCurrentDirectory) {
  testing::TempDir dir;
  const auto main = GoodExportIn(dir, "far/away");
  const auto here = fs::current_path();
  fs::current_path(dir.path());
  const auto imported = Import(main);
  fs::current_path(here);
  EXPECT_EQ(imported.book->dives[0].note, "new note");
}

TEST(Import, TheBundledSampleExport) {
  const auto imported = Import(fs::path(QUELLMAR_SOURCE_DIR) / "examples" / "logbook.csv");
  ASSERT_TRUE(imported.book);
  EXPECT_EQ(imported.events, Lines{"opened"});
  const Summary& summary = imported.book->summary;
  EXPECT_EQ(summary.totalDiveTime, 66000);
  EXPECT_EQ(summary.averageDiveTime, 2750);
  EXPECT_EQ(summary.averageSac, 14);
  EXPECT_EQ(summary.deepest, 38);
  const auto& dives = imported.book->dives;
  ASSERT_EQ(dives.size(), 24u);
  for (const auto& dive : dives) {
    EXPECT_TRUE(dive.hasProfile()) << dive.number;
  }
  EXPECT_EQ(dives[0].buddy, "J\xf6rg");
  EXPECT_EQ(dives[4].note, std::string("Dolphins on the surface") + kBr + "before the dive!" + kBr +
                               "Quiet dive, two turtles." + kBr +
                               "Nitrox 32, 1.4 bar ppO2 limit kept.");
  // A note cut by the export at 254 characters comes back whole.
  EXPECT_EQ(dives[6].note.size(), 393u);
  EXPECT_NE(dives[6].note.find("boats pass overhead"), std::string::npos);
  EXPECT_EQ(dives[19].sac, 0);
  EXPECT_EQ(dives[20].date, "07.08.2020");
  EXPECT_EQ(dives.back().site, "Modra spilja");
}

// The sample saved again by another program: its first line ends in CR LF,
// the others in LF alone. No dive is lost (it used to import 2 of 24), and
// each file is told once.
TEST(Import, FileThatMixesLineEndsLosesNoDive) {
  const fs::path sample = fs::path(QUELLMAR_SOURCE_DIR) / "examples";
  testing::TempDir dir;
  for (const char* name :
       {"logbook.csv", "logbook$DGE.CSV", "logbook$NOT.CSV", "logbook$PRO.CSV"}) {
    std::string text = testing::ReadFile(sample / name);
    const auto first = text.find("\r\n") + 2;
    for (auto at = text.find("\r\n", first); at != std::string::npos; at = text.find("\r\n", at)) {
      text.erase(at, 1);
    }
    dir.write(name, text);
  }
  const auto mixed = Import(dir.path() / "logbook.csv");
  const auto original = Import(sample / "logbook.csv");
  ASSERT_TRUE(mixed.book);
  EXPECT_EQ(mixed.events, (Lines{"line feeds: logbook$NOT.CSV", "line feeds: logbook$PRO.CSV",
                                 "opened", "line feeds: logbook.csv"}));
  const auto& dives = mixed.book->dives;
  ASSERT_EQ(dives.size(), 24u);
  for (std::size_t i = 0; i < dives.size(); ++i) {
    const Dive& before = original.book->dives[i];
    EXPECT_EQ(dives[i].number, before.number);
    EXPECT_EQ(dives[i].site, before.site);
    EXPECT_EQ(dives[i].note, before.note);
    EXPECT_EQ(dives[i].profile, before.profile);
  }
}

}  // namespace
}  // namespace quellmar
