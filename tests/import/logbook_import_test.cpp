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
#include "support/test_platform.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using testing::DiveLine;
using testing::JoinLines;
using testing::WriteExport;
using Lines = std::vector<std::string>;

constexpr const char* kBr = "<br>\n\r";

// Message boxes and history lines in the one order in which they happened.
class EventPlatform : public testing::TestPlatform {
 public:
  explicit EventPlatform(Lines& events) : events_(events) {}
  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override {
    events_.push_back(std::string(MessageTitle(kind)) + ": " + text);
    return TestPlatform::showMessage(kind, text, buttons, details);
  }

 private:
  Lines& events_;
};

class EventListener : public WindowListener {
 public:
  EventListener(Lines& events, const WindowModel& window) : events_(events), window_(window) {}
  void historyAdded(const std::string& line) override { events_.push_back("History: " + line); }
  void progressChanged() override {
    progress.emplace_back(window_.progressMax(), window_.progressPosition());
  }
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;  // (maximum, position)

 private:
  Lines& events_;
  const WindowModel& window_;
};

class ImportTest : public ::testing::Test {
 protected:
  ImportTest() { session.window.setListener(&listener); }
  ~ImportTest() override { session.window.setListener(nullptr); }

  bool Import(const fs::path& main) {
    session.window.chosenPath = main.string();
    return ImportLogbook(session);
  }

  // A logbook of two dives with a note and a profile each, in folder a/.
  fs::path FirstExport() {
    return WriteExport(dir, "a", JoinLines({DiveLine(1, 1), DiveLine(2, 2)}),
                       JoinLines({"1,\"old note\"", "2,\"old note\""}),
                       JoinLines({"1,0,1.5", "1,1,3.0", "2,0,2.5", "2,1,4.0"}));
  }

  Lines DiveSites() const {
    Lines sites;
    for (const auto& dive : session.logbook.dives) sites.push_back(dive.site);
    return sites;
  }

  testing::TempDir dir;
  Lines events;
  EventPlatform platform{events};
  Session session{platform};
  EventListener listener{events, session.window};
};

TEST_F(ImportTest, ReadsTheExport) {
  const auto main = WriteExport(
      dir, "",
      JoinLines({DiveLine(2001, 12, "Dahab", "Canyon"), DiveLine(2002, 3, "Safaga", "Panorama")}),
      JoinLines({"2001,\"Strong  current\"", "2002,\"Turtle\"", "2002,\"and a ray\""}),
      JoinLines({"2001,0,0.0", "2001,1,5.5", "2002,0,0", "2002,1,3.2", "2002,2,0"}));
  ASSERT_TRUE(Import(main));
  const std::string path = main.string();
  EXPECT_EQ(events, (Lines{"History: " + path + " CSV file opened."}));
  EXPECT_TRUE(session.logbook.loaded);
  EXPECT_EQ(session.window.filePanel(), path);
  EXPECT_EQ(session.logbook.csvBase, "logbook");
  ASSERT_EQ(session.logbook.diveCount(), 2);
  const Dive& first = session.logbook.dives[0];
  EXPECT_EQ(first.number, 3);
  EXPECT_EQ(first.note, std::string("Turtle") + kBr + "and a ray");
  EXPECT_EQ(first.profile, "0,3.2,0");
  EXPECT_TRUE(first.hasProfile());
  const Dive& second = session.logbook.dives[1];
  EXPECT_EQ(second.number, 12);
  EXPECT_EQ(second.note, std::string("Strong") + kBr + "current");
  EXPECT_EQ(second.profile, "0.0,5.5");
  EXPECT_EQ(session.window.diveList(), (Lines{"3. Safaga; Panorama", "12. Dahab; Canyon"}));
  EXPECT_EQ(session.window.selectedDive(), -1);
  EXPECT_EQ(session.logbook.notes.size(), 3u);
  EXPECT_EQ(session.logbook.profiles.size(), 2u);
}

struct FailureRow {
  const char* name;
  // Makes the failing export in the test folder; returns its main file.
  std::function<fs::path(const testing::TempDir&)> make;
  // The events of the failing import; "P" stands for the main file's path.
  Lines events;
  bool result;
  bool stillLoaded;  // the earlier logbook is still there
  bool loaded;
};

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

const FailureRow kFailureRows[] = {
    {"main_file_missing",
     [](const testing::TempDir& dir) { return dir.path() / "b" / "none.csv"; },
     {"History: P CSV file access error!", "Warning: File access error"},
     false,
     true,
     true},
    {"dge_missing",
     [](const testing::TempDir& dir) { return WithoutCompanion(dir, "$DGE.CSV"); },
     {"History: P Secondary CSV file access error!", "Warning: Secondary CSV file access error"},
     false,
     true,
     true},
    {"notes_missing",
     [](const testing::TempDir& dir) { return WithoutCompanion(dir, "$NOT.CSV"); },
     {"History: P Secondary CSV file access error!", "Warning: Secondary CSV file access error"},
     false,
     true,
     true},
    {"profiles_missing",
     [](const testing::TempDir& dir) { return WithoutCompanion(dir, "$PRO.CSV"); },
     {"History: P Secondary CSV file access error!", "Warning: Secondary CSV file access error"},
     false,
     true,
     true},
    {"notes_cannot_be_opened",
     [](const testing::TempDir& dir) { return WithCompanionAsDirectory(dir, "$NOT.CSV"); },
     {"History: CSV file Closed", "Warning: NOTE File access error",
      "History: P NOTE file access error!", "History: P CSV file opened."},
     true,
     false,
     true},
    {"profiles_cannot_be_opened",
     [](const testing::TempDir& dir) { return WithCompanionAsDirectory(dir, "$PRO.CSV"); },
     {"History: CSV file Closed", "Warning: PROFILE File access error",
      "History: P PROFILE file access error!", "History: P CSV file opened."},
     true,
     false,
     true},
    {"main_file_cannot_be_opened",
     [](const testing::TempDir& dir) {
       const auto main = GoodExportIn(dir, "b");
       fs::remove(main);
       fs::create_directory(main);
       return main;
     },
     {"History: CSV file Closed", "Warning: File access error",
      "History: P CSV file access error!"},
     false,
     false,
     false},
};

TEST_F(ImportTest, FailureTable) {
  for (const auto& row : kFailureRows) {
    SCOPED_TRACE(row.name);
    testing::TempDir rowDir;
    EventPlatform rowPlatform(events);
    Session rowSession(rowPlatform);
    EventListener rowListener(events, rowSession.window);
    rowSession.window.setListener(&rowListener);

    rowSession.window.chosenPath = WriteExport(rowDir, "a", JoinLines({DiveLine(1, 1)}),
                                               JoinLines({"1,\"old note\"", "2,\"old note\""}),
                                               JoinLines({"1,0,1.5", "1,1,3.0", "2,0,2.5"}))
                                       .string();
    ASSERT_TRUE(ImportLogbook(rowSession));
    const Lines memoBefore = rowSession.window.memo();
    events.clear();

    const auto main = row.make(rowDir);
    rowSession.window.chosenPath = main.string();
    EXPECT_EQ(ImportLogbook(rowSession), row.result);
    Lines expected;
    for (auto line : row.events) {
      const auto p = line.find(": P ");
      if (p != std::string::npos) line.replace(p + 2, 1, main.string());
      expected.push_back(line);
    }
    EXPECT_EQ(events, expected);
    EXPECT_EQ(rowSession.logbook.loaded, row.loaded);
    if (row.stillLoaded) {
      ASSERT_EQ(rowSession.logbook.diveCount(), 1);
      EXPECT_EQ(rowSession.logbook.dives[0].note, "old note");
      EXPECT_EQ(rowSession.window.memo(), memoBefore);
      EXPECT_EQ(rowSession.window.diveList(), Lines{"1. Dahab; Canyon"});
    } else if (row.loaded) {
      // Read without the broken companion: nothing of the old one leaks in.
      ASSERT_EQ(rowSession.logbook.diveCount(), 2);
      for (const auto& dive : rowSession.logbook.dives) {
        EXPECT_NE(dive.note, "old note");
        EXPECT_NE(dive.profile, "2.5");
      }
      EXPECT_EQ(rowSession.window.memo().size(), 4u);
    } else {
      EXPECT_EQ(rowSession.logbook.diveCount(), 0);
      EXPECT_TRUE(rowSession.window.memo().empty());
      EXPECT_TRUE(rowSession.window.diveList().empty());
      EXPECT_EQ(rowSession.window.filePanel(), "No CSV file");
    }
    rowSession.window.setListener(nullptr);
  }
}

TEST_F(ImportTest, NoteOrProfileFileThatCannotBeOpenedLeavesItsListEmpty) {
  ASSERT_TRUE(Import(FirstExport()));
  const auto main = WithCompanionAsDirectory(dir, "$NOT.CSV");
  fs::remove(dir.path() / "b" / "logbook$PRO.CSV");
  fs::create_directory(dir.path() / "b" / "logbook$PRO.CSV");
  ASSERT_TRUE(Import(main));
  EXPECT_TRUE(session.logbook.notes.empty());
  EXPECT_TRUE(session.logbook.profiles.empty());
  for (const auto& dive : session.logbook.dives) {
    EXPECT_EQ(dive.note, "");
    EXPECT_FALSE(dive.hasProfile());
  }
}

TEST_F(ImportTest, MissingCompanionOnlyResetsTheProgressBar) {
  ASSERT_TRUE(Import(FirstExport()));
  const auto before = session.logbook.dives.size();
  const auto main = WithoutCompanion(dir, "$PRO.CSV");
  listener.progress.clear();
  EXPECT_FALSE(Import(main));
  EXPECT_EQ(session.window.progressMax(), static_cast<std::int64_t>(fs::file_size(main)));
  EXPECT_EQ(session.window.progressPosition(), 0);
  EXPECT_EQ(session.logbook.progresstotal, 0);
  EXPECT_EQ(session.logbook.dives.size(), before);
  EXPECT_EQ(session.logbook.csvBase, "logbook");
  EXPECT_TRUE(session.logbook.loaded);
}

TEST_F(ImportTest, MainFileNotFoundChangesNothing) {
  EXPECT_FALSE(Import(dir.path() / "missing.csv"));
  EXPECT_EQ(session.window.progressMax(), 100);
  EXPECT_TRUE(listener.progress.empty());
  EXPECT_EQ(session.logbook.csvBase, "");
  EXPECT_FALSE(Import(""));
  EXPECT_EQ(events.back(), "Warning: File access error");
  EXPECT_EQ(events[events.size() - 2], "History:  CSV file access error!");
}

struct SummaryDive {
  int diveTime;
  int maxDepth;
  int sac;
};

struct SummaryRow {
  const char* name;
  std::vector<SummaryDive> dives;
  Lines memo;
};

// clang-format off
const SummaryRow kSummaryRows[] = {
    {"times",        {{1800, 10, 0}, {2125, 10, 0}},
                     {"Total dive time: 01:05:25", "Average dive time: 00:32:42", "SAC: 0L", "Maximal depth: 10m"}},
    {"sac_zero_not_counted", {{60, 5, 20}, {60, 5, 0}, {60, 5, 16}},
                     {"Total dive time: 00:03:00", "Average dive time: 00:01:00", "SAC: 18L", "Maximal depth: 5m"}},
    {"sac_truncated",{{60, 5, 20}, {60, 5, 15}},
                     {"Total dive time: 00:02:00", "Average dive time: 00:01:00", "SAC: 17L", "Maximal depth: 5m"}},
    {"deepest",      {{100, 18, 1}, {100, 32, 1}, {100, 27, 1}},
                     {"Total dive time: 00:05:00", "Average dive time: 00:01:40", "SAC: 1L", "Maximal depth: 32m"}},
    {"one_dive",     {{2700, 24, 14}},
                     {"Total dive time: 00:45:00", "Average dive time: 00:45:00", "SAC: 14L", "Maximal depth: 24m"}},
    {"no_dive",      {},
                     {"Total dive time: 00:00:00", "Average dive time: 00:00:00", "SAC: 0L", "Maximal depth: 0m"}},
    {"negative_values", {{-100, -3, -5}},
                     {"Total dive time: 00:00:-100", "Average dive time: 00:00:-100", "SAC: 0L", "Maximal depth: 0m"}},
    {"negative_average_truncates", {{-7, 1, 1}, {0, 1, 1}},
                     {"Total dive time: 00:00:-7", "Average dive time: 00:00:-3", "SAC: 1L", "Maximal depth: 1m"}},
    {"wrapped_time", {{40000, 1, 1}},
                     {"Total dive time: 00:00:-25536", "Average dive time: 00:00:-25536", "SAC: 1L", "Maximal depth: 1m"}},
};
// clang-format on

TEST_F(ImportTest, SummaryTable) {
  for (const auto& row : kSummaryRows) {
    SCOPED_TRACE(row.name);
    Lines lines;
    int id = 1;
    for (const auto& dive : row.dives) {
      lines.push_back(DiveLine(id, id, "L", "S", dive.diveTime, dive.maxDepth, dive.sac));
      ++id;
    }
    testing::TempDir rowDir;
    testing::TestPlatform rowPlatform;
    Session rowSession(rowPlatform);
    rowSession.window.chosenPath = WriteExport(rowDir, "", JoinLines(lines), "", "").string();
    ASSERT_TRUE(ImportLogbook(rowSession));
    EXPECT_EQ(rowSession.window.memo(), row.memo);
    const Logbook& book = rowSession.logbook;
    EXPECT_EQ("Total dive time: " + book.totaldivetime, row.memo[0]);
    EXPECT_EQ("Average dive time: " + book.averdivetime, row.memo[1]);
    EXPECT_EQ("SAC: " + book.totalsac + "L", row.memo[2]);
    EXPECT_EQ("Maximal depth: " + book.totalmaxdepth + "m", row.memo[3]);
    EXPECT_EQ(book.diveCount(), static_cast<std::int32_t>(row.dives.size()));
  }
}

TEST_F(ImportTest, EqualDiveNumbersInTheSortsOrder) {
  const auto main = WriteExport(
      dir, "",
      JoinLines({DiveLine(1, 3, "L", "a"), DiveLine(2, 1, "L", "b"), DiveLine(3, 3, "L", "c"),
                 DiveLine(4, 2, "L", "d"), DiveLine(5, 3, "L", "e")}),
      "", "");
  ASSERT_TRUE(Import(main));
  EXPECT_EQ(session.window.diveList(),
            (Lines{"1. L; b", "2. L; d", "3. L; e", "3. L; a", "3. L; c"}));
  EXPECT_EQ(DiveSites(), (Lines{"b", "d", "e", "a", "c"}));
}

TEST_F(ImportTest, DivesOfOneKeyShareNoteAndProfile) {
  const auto main =
      WriteExport(dir, "", JoinLines({DiveLine(7, 2), DiveLine(7, 1), DiveLine(7, 3)}),
                  JoinLines({"7,\"two  spaces\"", "7,\"more\""}), JoinLines({"7,0,0", "7,1,9.5"}));
  ASSERT_TRUE(Import(main));
  for (const auto& dive : session.logbook.dives) {
    EXPECT_EQ(dive.note, std::string("two") + kBr + "spaces" + kBr + "more");
    EXPECT_EQ(dive.profile, "0,9.5");
  }
}

TEST_F(ImportTest, CloseEmptiesTheLogbook) {
  ASSERT_TRUE(Import(FirstExport()));
  const std::string total = session.logbook.totaldivetime;
  events.clear();
  CloseLogbook(session);
  EXPECT_EQ(events, Lines{"History: CSV file Closed"});
  EXPECT_FALSE(session.logbook.loaded);
  EXPECT_EQ(session.logbook.diveCount(), 0);
  EXPECT_EQ(session.window.filePanel(), "No CSV file");
  EXPECT_TRUE(session.window.memo().empty());
  EXPECT_TRUE(session.window.diveList().empty());
  EXPECT_EQ(session.logbook.totaldivetime, total);
  EXPECT_FALSE(session.logbook.notes.empty());  // kept until the next import

  CloseLogbook(session);  // nothing loaded: nothing happens
  EXPECT_EQ(events, Lines{"History: CSV file Closed"});
}

TEST_F(ImportTest, ImportOverALoadedLogbookClosesItFirst) {
  ASSERT_TRUE(Import(FirstExport()));
  const auto second = GoodExportIn(dir, "b");
  events.clear();
  ASSERT_TRUE(Import(second));
  EXPECT_EQ(events, (Lines{"History: CSV file Closed",
                           "History: " + second.string() + " CSV file opened."}));
  EXPECT_EQ(session.window.memo().size(), 4u);
  EXPECT_EQ(session.window.diveList(), (Lines{"5. Dahab; Canyon", "6. Dahab; Canyon"}));
  EXPECT_EQ(session.logbook.notes.size(), 1u);
}

TEST_F(ImportTest, ProgressRunsFromZeroToTheFileSize) {
  const auto first = FirstExport();
  const auto second = GoodExportIn(dir, "b");
  for (const auto& main : {first, second, first}) {
    listener.progress.clear();
    ASSERT_TRUE(Import(main));
    const auto size = static_cast<std::int64_t>(fs::file_size(main));
    ASSERT_FALSE(listener.progress.empty());
    EXPECT_EQ(listener.progress.front().first, size);
    EXPECT_EQ(listener.progress[1], std::make_pair(size, std::int64_t{0}));
    EXPECT_EQ(session.window.progressPosition(), size);
    EXPECT_EQ(session.logbook.progresstotal, size);
  }
}

TEST_F(ImportTest, LongLineMovesTheBarForwards) {
  const std::string site(70000, 's');
  const auto main = WriteExport(
      dir, "", JoinLines({DiveLine(1, 1), DiveLine(2, 2, "L", site), DiveLine(3, 3)}), "", "");
  ASSERT_TRUE(Import(main));
  std::int64_t last = 0;
  for (const auto& [max, position] : listener.progress) {
    EXPECT_GE(position, last);
    last = position;
  }
  EXPECT_EQ(last, static_cast<std::int64_t>(fs::file_size(main)));
  EXPECT_EQ(session.logbook.dives[1].site, site);
}

struct EndingRow {
  const char* name;
  std::string end;    // after each line
  std::string after;  // after the last line end
  bool finalEnd;      // the last line has its line end
};

// clang-format off
const EndingRow kEndingRows[] = {
    {"crlf",                 "\r\n", "",                  true},
    {"cr",                   "\r",   "",                  true},
    {"no_final_line_end",    "\r\n", "",                  false},
    {"ctrl_z_at_the_end",    "\r\n", "\x1a",              true},
    {"ctrl_z_before_junk",   "\r\n", "\x1a" "9,9,junk\r\n", true},
};
// clang-format on

std::string Lines2(const Lines& lines, const EndingRow& row) {
  std::string text = JoinLines(lines, row.end);
  if (!row.finalEnd) text.resize(text.size() - row.end.size());
  return text + row.after;
}

TEST_F(ImportTest, LineRuleInEveryFile) {
  const Lines main = {DiveLine(1, 1), DiveLine(2, 2)};
  const Lines notes = {"1,\"note one\"", "2,\"note two\""};
  const Lines profiles = {"1,0,1.5", "1,1,3.0", "2,0,2.5", "2,1,4.0"};
  for (const auto& row : kEndingRows) {
    SCOPED_TRACE(row.name);
    testing::TempDir rowDir;
    testing::TestPlatform rowPlatform;
    Session rowSession(rowPlatform);
    rowSession.window.chosenPath =
        WriteExport(rowDir, "", Lines2(main, row), Lines2(notes, row), Lines2(profiles, row))
            .string();
    ASSERT_TRUE(ImportLogbook(rowSession));
    const auto& dives = rowSession.logbook.dives;
    ASSERT_EQ(dives.size(), 2u);
    EXPECT_EQ(dives[0].note, "note one");
    EXPECT_EQ(dives[1].note, "note two");
    EXPECT_EQ(dives[0].profile, "1.5,3.0");
    EXPECT_EQ(dives[1].profile, "2.5,4.0");
    EXPECT_EQ(rowSession.logbook.notes.size(), 2u);
    EXPECT_EQ(rowSession.logbook.profiles.size(), 2u);
  }
}

// A CSV file without any carriage return is read with line feeds as line
// ends (it used to read as one line, importing one dive of many), and the
// history says so once for each such file.
TEST_F(ImportTest, LineFeedsAloneAreLineEndsInAFileWithoutCarriageReturns) {
  const auto main = WriteExport(dir, "", JoinLines({DiveLine(1, 1), DiveLine(2, 2)}, "\n"),
                                JoinLines({"1,\"note one\"", "2,\"note two\""}, "\n"),
                                JoinLines({"1,0,1.5", "1,1,3.0"}, "\n"));
  ASSERT_TRUE(Import(main));
  ASSERT_EQ(session.logbook.diveCount(), 2);
  EXPECT_EQ(session.logbook.dives[0].key, 1);
  EXPECT_EQ(session.logbook.dives[0].note, "note one");
  EXPECT_EQ(session.logbook.dives[0].profile, "1.5,3.0");
  EXPECT_EQ(session.logbook.notes.size(), 2u);
  const auto& history = session.window.history();
  EXPECT_EQ(std::count_if(history.begin(), history.end(),
                          [](const std::string& line) {
                            return line.ends_with(" read with line feeds as line ends.");
                          }),
            3);
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
};

// clang-format off
const OddCompanionRow kOddCompanionRows[] = {
    {"empty_files",   "",             "",             0, 0},
    {"only_ctrl_z",   "\x1a",         "\x1a",         0, 0},
    {"only_line_ends","\r\n\r\n\r",     "\r\r\r\n",       0, 0},
    {"nul_bytes",     std::string("1,\"a\0b\"\r\n", 9), std::string("1,0,\0\0\r\n1,1,5", 13), 3, 4},
    {"garbage",       Garbage(1 << 20, 1), Garbage(1 << 20, 2), std::nullopt, std::nullopt},
    {"line_of_spaces","1," + std::string(300001, ' '), "", 150000 * 6 + 1, 0},
};
// clang-format on

Session& ImportInto(const testing::TempDir& dir, Session& session, const std::string& notes,
                    const std::string& profiles) {
  // Dive 2 has key 1, the key of the companions' lines.
  session.window.chosenPath =
      WriteExport(dir, "", JoinLines({DiveLine(1000000001, 1), DiveLine(1, 2)}), notes, profiles)
          .string();
  EXPECT_TRUE(ImportLogbook(session));
  EXPECT_EQ(session.logbook.diveCount(), 2);
  return session;
}

TEST_F(ImportTest, OddCompanionsImport) {
  for (const auto& row : kOddCompanionRows) {
    SCOPED_TRACE(row.name);
    testing::TempDir rowDir;
    testing::TestPlatform rowPlatform;
    Session rowSession(rowPlatform);
    ImportInto(rowDir, rowSession, row.notes, row.profiles);
    const Dive& dive = rowSession.logbook.dives.back();
    if (row.noteSize) {
      EXPECT_EQ(dive.note.size(), *row.noteSize);
    }
    if (row.profileSize) {
      EXPECT_EQ(dive.profile.size(), *row.profileSize);
    }
    EXPECT_TRUE(rowPlatform.messages.empty());
  }
}

TEST_F(ImportTest, FiftyMegabyteLines) {
  const std::string huge(50 * 1000 * 1000, 'x');
  {
    testing::TempDir noteDir;
    testing::TestPlatform notePlatform;
    Session noteSession(notePlatform);
    ImportInto(noteDir, noteSession, "1,\"" + huge + "  \"\r\n1,\"end\"", "");
    EXPECT_EQ(noteSession.logbook.dives.back().note, huge + kBr + "end");
  }
  testing::TempDir profileDir;
  testing::TestPlatform profilePlatform;
  Session profileSession(profilePlatform);
  ImportInto(profileDir, profileSession, "", "1,0," + huge + "\r\n1,1,2");
  EXPECT_EQ(profileSession.logbook.dives.back().profile, huge + ",2");
}

TEST_F(ImportTest, GarbageMainFileImports) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    const auto main = WriteExport(dir, "garbage" + std::string(1, static_cast<char>('0' + seed)),
                                  Garbage(1 << 18, seed), Garbage(1 << 16, seed + 10),
                                  Garbage(1 << 16, seed + 20));
    ASSERT_TRUE(Import(main));
    EXPECT_EQ(session.window.diveList().size(), session.logbook.dives.size());
    EXPECT_EQ(session.logbook.progresstotal, session.window.progressPosition());
  }
}

TEST_F(ImportTest, CompanionNamesInOtherLetterCase) {
#ifdef _WIN32
  GTEST_SKIP() << "names that differ only in letter case cannot both exist on Windows";
#endif
  dir.write("logbook$dge.csv", "");
  dir.write("logbook$Not.Csv", "1,\"first in name order\"\r\n");
  dir.write("logbook$nOT.CSV", "1,\"second in name order\"\r\n");
  dir.write("logbook$pro.csv", "1,0,1.5\r\n1,1,3.0\r\n");
  const auto main = dir.write("logbook.csv", DiveLine(1, 1) + "\r\n");
  ASSERT_TRUE(Import(main));
  EXPECT_EQ(session.logbook.dives[0].note, "first in name order");
  EXPECT_EQ(session.logbook.dives[0].profile, "1.5,3.0");

  // The exact name wins over every other case.
  dir.write("logbook$NOT.CSV", "1,\"exact name\"\r\n");
  ASSERT_TRUE(Import(main));
  EXPECT_EQ(session.logbook.dives[0].note, "exact name");
}

TEST_F(ImportTest, CompanionNamesFromTheLastFourCharactersCut) {
  const auto main =
      WriteExport(dir, "", JoinLines({DiveLine(1, 1)}), JoinLines({"1,\"hello\""}), "", "log");
  const auto txt = dir.path() / "log.txt";
  fs::rename(main, txt);
  ASSERT_TRUE(Import(txt));
  EXPECT_EQ(session.logbook.csvBase, "log");
  EXPECT_EQ(session.logbook.dives[0].note, "hello");
}

TEST_F(ImportTest, CompanionsAreFoundBesideTheMainFileNotInTheCurrentDirectory) {
  const auto main = GoodExportIn(dir, "far/away");
  const auto here = fs::current_path();
  fs::current_path(dir.path());
  const bool imported = Import(main);
  fs::current_path(here);
  ASSERT_TRUE(imported);
  EXPECT_EQ(session.logbook.dives[0].note, "new note");
}

TEST_F(ImportTest, TheBundledSampleExport) {
  const fs::path main = fs::path(QUELLMAR_SOURCE_DIR) / "examples" / "logbook.csv";
  ASSERT_TRUE(Import(main));
  EXPECT_EQ(session.window.memo(),
            (Lines{"Total dive time: 18:20:00", "Average dive time: 00:45:50", "SAC: 14L",
                   "Maximal depth: 38m"}));
  ASSERT_EQ(session.logbook.diveCount(), 24);
  EXPECT_TRUE(platform.messages.empty());
  for (const auto& dive : session.logbook.dives) {
    EXPECT_TRUE(dive.hasProfile()) << dive.number;
  }
  const auto& dives = session.logbook.dives;
  EXPECT_EQ(dives[0].buddy, "J\xf6rg");
  EXPECT_EQ(dives[4].note, std::string("Dolphins on the surface") + kBr + "before the dive!" + kBr +
                               "Quiet dive, two turtles." + kBr +
                               "Nitrox 32, 1.4 bar ppO2 limit kept.");
  // A note cut by the export at 254 characters comes back whole.
  EXPECT_EQ(dives[6].note.size(), 393u);
  EXPECT_NE(dives[6].note.find("boats pass overhead"), std::string::npos);
  EXPECT_EQ(dives[19].sac, 0);
  EXPECT_EQ(dives[20].date, "07.08.2020");
  const auto& list = session.window.diveList();
  EXPECT_EQ(list.front(), "1. Hurghada, Egypt; Careless Reef");
  EXPECT_EQ(list.back(), "24. Vis, Hrvatska; Modra spilja");
}

}  // namespace
}  // namespace quellmar
