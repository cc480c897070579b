#include "commands/commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/export_files.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using testing::DiveLine;
using testing::JoinLines;
using testing::ShownMessage;
using testing::WriteExport;
using Lines = std::vector<std::string>;

constexpr const char* kImported = "CSV file imported.\n\rNext step: HTML Export";

class CommandsTest : public ::testing::Test {
 protected:
  fs::path Export(const std::string& folder, int dives) {
    Lines lines;
    for (int i = 1; i <= dives; ++i) lines.push_back(DiveLine(i, 10 - i, "Dahab", "Canyon", 1800));
    return WriteExport(dir, folder, JoinLines(lines), "", "");
  }
  bool Open(const fs::path& path) {
    platform.nextChoice = path.string();
    return OpenCsvCommand(session);
  }

  testing::TempDir dir;
  testing::TestPlatform platform;
  Session session{platform};
};

TEST_F(CommandsTest, OpenImportsAndAnnouncesTheExport) {
  const auto main = Export("a", 2);
  session.window.addMemoLine("left from before");
  ASSERT_TRUE(Open(main));
  const std::string path = main.string();
  EXPECT_EQ(session.window.chosenPath, path);
  EXPECT_EQ(session.window.memo(), (Lines{"Opened CSV file:", path, "Total dive time: 01:00:00",
                                          "Average dive time: 00:30:00", "SAC: 16L",
                                          "Maximal depth: 18m", "2 logged dives."}));
  EXPECT_EQ(session.window.history(), (Lines{"Logbook Import started.", path + " CSV file opened.",
                                             "Logbook Import finished."}));
  EXPECT_EQ(session.window.progressPosition(), 0);
  EXPECT_EQ(session.window.diveList(), (Lines{"8. Dahab; Canyon", "9. Dahab; Canyon"}));
  EXPECT_EQ(platform.messages,
            (std::vector<ShownMessage>{{MessageKind::Information, kImported, MessageButtons::Ok}}));
}

TEST_F(CommandsTest, OpenOverALoadedLogbookLeavesOnlyTheNewSummary) {
  ASSERT_TRUE(Open(Export("a", 2)));
  const auto second = Export("b", 3);
  ASSERT_TRUE(Open(second));
  EXPECT_EQ(session.window.memo(),
            (Lines{"Total dive time: 01:30:00", "Average dive time: 00:30:00", "SAC: 16L",
                   "Maximal depth: 18m", "3 logged dives."}));
  EXPECT_EQ(session.window.history().back(), "Logbook Import finished.");
  EXPECT_EQ(session.window.history()[4], "CSV file Closed");
}

TEST_F(CommandsTest, CancelledChoiceChangesNothing) {
  ASSERT_TRUE(Open(Export("a", 1)));
  const auto memo = session.window.memo();
  const auto list = session.window.diveList();
  const auto history = session.window.history();
  platform.nextChoice.reset();
  EXPECT_FALSE(OpenCsvCommand(session));
  EXPECT_EQ(session.window.memo(), memo);
  EXPECT_EQ(session.window.diveList(), list);
  EXPECT_EQ(session.window.history(), history);
  EXPECT_TRUE(session.logbook.loaded);
}

TEST_F(CommandsTest, FailedOpenEndsWithTheImportsReport) {
  const auto missing = dir.path() / "missing.csv";
  EXPECT_FALSE(Open(missing));
  EXPECT_EQ(session.window.memo(), (Lines{"Opened CSV file:", missing.string()}));
  EXPECT_EQ(session.window.history(),
            (Lines{"Logbook Import started.", missing.string() + " CSV file access error!"}));
  EXPECT_EQ(
      platform.messages,
      (std::vector<ShownMessage>{{MessageKind::Warning, "File access error", MessageButtons::Ok}}));
}

TEST_F(CommandsTest, CloseEmptiesTheWindow) {
  ASSERT_TRUE(Open(Export("a", 2)));
  CloseCsvCommand(session);
  EXPECT_FALSE(session.logbook.loaded);
  EXPECT_TRUE(session.window.memo().empty());
  EXPECT_TRUE(session.window.diveList().empty());
  EXPECT_EQ(session.window.filePanel(), "No CSV file");
  EXPECT_EQ(session.window.history().back(), "CSV file Closed");
  CloseCsvCommand(session);
  EXPECT_EQ(session.window.history().size(), 4u);
}

TEST_F(CommandsTest, ExportWithoutALogbookIsRefused) {
  EXPECT_FALSE(ExportHtmlCommand(session));
  EXPECT_EQ(platform.messages,
            (std::vector<ShownMessage>{
                {MessageKind::Warning, "Not opened CSV file", MessageButtons::Ok}}));
  // No file chosen yet: the line begins with the literal's blank.
  EXPECT_EQ(session.window.history(), Lines{" html conver request without CSV file"});
}

TEST_F(CommandsTest, ExportRefusedAfterAFailedImportNamesItsFile) {
  const auto missing = dir.path() / "missing.csv";
  EXPECT_FALSE(Open(missing));
  EXPECT_FALSE(ExportHtmlCommand(session));
  EXPECT_EQ(session.window.history().back(),
            missing.string() + " html conver request without CSV file");
  EXPECT_EQ(platform.messages.back().text, "Not opened CSV file");
}

TEST_F(CommandsTest, ExportRefusedAfterClose) {
  const auto main = Export("a", 1);
  ASSERT_TRUE(Open(main));
  CloseCsvCommand(session);
  EXPECT_FALSE(ExportHtmlCommand(session));
  EXPECT_EQ(session.window.history().back(),
            main.string() + " html conver request without CSV file");
}

struct ErrorTextRow {
  const char* message;
  const char* shown;
};

// clang-format off
const ErrorTextRow kErrorTextRows[] = {
    {"Cannot open clipboard", "Cannot open clipboard."},
    {"Out of memory.",        "Out of memory."},
    {"Disk full!",            "Disk full!"},
    {"Cannot create file d1.gif", "Cannot create file d1.gif."},
    {"path/",                 "path/."},
    {"value -",               "value -"},
    {"code 7",                "code 7."},
    {"Gr\xf6\xdf" "e",        "Gr\xf6\xdf" "e."},
    {"\xe9",                  "\xe9."},
    {"",                      ""},
};
// clang-format on

TEST(ErrorBoxText, FullStopAfterCharactersBeyondTheDot) {
  for (const auto& row : kErrorTextRows)
    EXPECT_EQ(ErrorBoxText(row.message), row.shown) << row.message;
}

}  // namespace
}  // namespace quellmar
