// An export file that exists but cannot be opened: a directory, a link to
// nothing, a FIFO or a device in the place of the main file or of a
// companion. The import gives exactly the warnings and history lines of its
// failure table, at once (a FIFO or /dev/zero used to hang it), with the file
// and the system's reason as the warning's details, goes on where it says it
// does, and changes nothing in the export's folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "basic/path_text.h"
#include "commands/commands.h"
#include "robustness/robustness_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;

enum class Blocker { Directory, DanglingLink, Fifo, DevZero };

struct FaultCase {
  const char* name;
  const char* entry;  // the export file that cannot be opened
  Blocker blocker;
  bool imported;
  const char* warning;      // nullptr: none
  const char* historyLine;  // after the path; nullptr: none
  const char* reason;       // the system's reason in the warning's details
};

// clang-format off
const FaultCase kCases[] = {
  {"note_file_is_directory",    "log$NOT.CSV", Blocker::Directory,    true,  "NOTE File access error",    " NOTE file access error!",    "Is a directory"},
  {"note_file_dangling_link",   "log$NOT.CSV", Blocker::DanglingLink, true,  "NOTE File access error",    " NOTE file access error!",    "No such file or directory"},
  {"note_file_fifo",            "log$NOT.CSV", Blocker::Fifo,         true,  "NOTE File access error",    " NOTE file access error!",    "Not a regular file"},
  {"profile_file_is_directory", "log$PRO.CSV", Blocker::Directory,    true,  "PROFILE File access error", " PROFILE file access error!", "Is a directory"},
  {"profile_file_dev_zero",     "log$PRO.CSV", Blocker::DevZero,      true,  "PROFILE File access error", " PROFILE file access error!", "Not a regular file"},
  {"dge_file_is_directory",     "log$DGE.CSV", Blocker::Directory,    true,  nullptr,                     nullptr,                       nullptr},
  {"main_file_is_directory",    "log.csv",     Blocker::Directory,    false, "File access error",         " CSV file access error!",     "Is a directory"},
  {"main_file_dangling_link",   "log.csv",     Blocker::DanglingLink, false, "File access error",         " CSV file access error!",     "No such file or directory"},
  {"main_file_fifo",            "log.csv",     Blocker::Fifo,         false, "File access error",         " CSV file access error!",     "Not a regular file"},
  {"main_file_dev_zero",        "log.csv",     Blocker::DevZero,      false, "File access error",         " CSV file access error!",     "Not a regular file"},
};
// clang-format on

class ImportFault : public ::testing::TestWithParam<FaultCase> {};

void Block(const fs::path& entry, Blocker blocker) {
  fs::remove(entry);
  switch (blocker) {
    case Blocker::Directory:
      fs::create_directories(entry / "inside");
      break;
    case Blocker::DanglingLink:
      fs::create_symlink(entry.parent_path() / "nowhere", entry);
      break;
    case Blocker::Fifo:
      ::mkfifo(entry.c_str(), 0644);
      break;
    case Blocker::DevZero:
      fs::create_symlink("/dev/zero", entry);
      break;
  }
}

TEST_P(ImportFault, ReportsAsItsTableSaysAndChangesNothing) {
  const auto& row = GetParam();
  ProgramFixture fixture;
  fixture.writeExport(
      DiveLine(101, 12, 18) + "\r\n" + DiveLine(102, 3, 25) + "\r\n",
      "101,\"a note\"\r\n102,\"another\"\r\n",
      ProfileLines(101, {"0", "5.5", "12", "0.0"}) + ProfileLines(102, {"0", "9", "0.0"}));
  Block(fixture.exportDir() / row.entry, row.blocker);
  const auto before = Snapshot(fixture.root());
  const std::string path = fixture.mainFile().string();

  EXPECT_EQ(fixture.open(), row.imported);

  std::vector<ShownMessage> messages;
  if (row.warning) messages.push_back({MessageKind::Warning, row.warning, MessageButtons::Ok});
  std::vector<std::string> history = {"Logbook Import started."};
  const bool mainFails = std::string(row.entry) == "log.csv";
  if (row.historyLine && !mainFails) history.push_back(path + row.historyLine);
  if (row.imported) {
    history.push_back(path + " CSV file opened.");
    history.push_back("Logbook Import finished.");
    messages.push_back({MessageKind::Information, "CSV file imported.\n\rNext step: HTML Export",
                        MessageButtons::Ok});
  } else {
    history.push_back(path + row.historyLine);
  }
  EXPECT_EQ(fixture.platform.messages, messages);
  if (row.reason != nullptr) {
    EXPECT_EQ(fixture.platform.messageDetails.front(),
              DisplayPath(fixture.exportDir() / row.entry) + ": " + row.reason);
  }
  EXPECT_EQ(fixture.session.window.history(), history);
  EXPECT_EQ(Snapshot(fixture.root()), before);

  const auto& book = fixture.session.logbook;
  EXPECT_EQ(book.has_value(), row.imported);
  if (!row.imported) return;
  ASSERT_EQ(book->dives.size(), 2u);
  const bool notesRead = std::string(row.entry) != "log$NOT.CSV";
  const bool profilesRead = std::string(row.entry) != "log$PRO.CSV";
  EXPECT_EQ(book->dives[1].note, notesRead ? "a note" : "");
  EXPECT_EQ(book->dives[1].hasProfile(), profilesRead);
}

INSTANTIATE_TEST_SUITE_P(Entries, ImportFault, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A main file that cannot be opened is found only after the loaded logbook
// was closed: the window is left empty and no logbook is loaded.
TEST(ImportFault, MainFileAsDirectoryAfterALoadedLogbookLeavesNoneLoaded) {
  ProgramFixture fixture;
  fixture.writeExport(DiveLine(101, 12, 18) + "\r\n", "", "");
  ASSERT_TRUE(fixture.open());
  const auto other = fixture.exportDir() / "other.csv";
  fs::create_directory(other);
  for (const char* suffix : {"$DGE.CSV", "$NOT.CSV", "$PRO.CSV"}) {
    std::ofstream(fixture.exportDir() / (std::string("other") + suffix));
  }
  const auto historyBefore = fixture.session.window.history().size();
  fixture.platform.messages.clear();

  fixture.platform.nextChoice = other;
  EXPECT_FALSE(OpenCsvCommand(fixture.session));

  EXPECT_EQ(HistoryFrom(fixture.session, historyBefore),
            (std::vector<std::string>{"Logbook Import started.", "CSV file Closed",
                                      other.string() + " CSV file access error!"}));
  EXPECT_EQ(
      fixture.platform.messages,
      (std::vector<ShownMessage>{{MessageKind::Warning, "File access error", MessageButtons::Ok}}));
  EXPECT_FALSE(fixture.session.logbook);
  EXPECT_TRUE(fixture.session.window.memo().empty());
  EXPECT_TRUE(fixture.session.window.diveList().empty());
  EXPECT_EQ(fixture.session.window.filePanel(), "No CSV file");
}

}  // namespace
}  // namespace quellmar::testing
