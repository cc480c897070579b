// What the import and the export must never lose: no input file and no file
// outside Output changes; emptying Output deletes only its plain files,
// never a hidden one, never anything inside a subdirectory or behind a link;
// answering No keeps every file the export does not write itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "robustness/robustness_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;

class NoLoss : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture.writeTemplates("<html>@totaldivetime@\r\n",
                           "<p>@diveno@ @note_ico@ @profile_ico@ @subpage@</p>\r\n", "</html>\r\n",
                           "<h1>@diveno@</h1>@note@ @profile_gif@\r\n");
    fixture.writeExport(
        DiveLine(101, 3, 18) + "\r\n" + DiveLine(102, 5, 30) + "\r\n",
        "101,\"first  note\"\r\n102,\"second\"\r\n",
        ProfileLines(101, {"0", "8", "17", "0.0"}) + ProfileLines(102, {"0", "29.5", "0.0"}));
    write("program/pict/nog.gif", "icon");
    write("elsewhere/precious.txt", "the user's file");
    write("elsewhere/folder/inside.txt", "inside a linked folder");
  }

  void write(const std::string& name, std::string_view bytes) const {
    const auto path = fixture.root() / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // Output holding what a user may have put there.
  void fillOutput() const {
    write("program/Output/old.html", "an old page");
    write("program/Output/d1.gif", "an old picture");
    write("program/Output/.hidden", "hidden");
    write("program/Output/sub/inner.txt", "in a subdirectory");
    write("program/Output/sub/deeper/x.gif", "deeper");
    fs::create_symlink("../../elsewhere/precious.txt", fixture.outputDir() / "link_to_file");
    fs::create_symlink("../../elsewhere/folder", fixture.outputDir() / "link_to_dir");
    fs::create_symlink("nowhere", fixture.outputDir() / "dangling");
  }

  ProgramFixture fixture;
};

TEST_F(NoLoss, ImportAndExportChangeNothingOutsideOutput) {
  fillOutput();
  const auto before = Snapshot(fixture.root());

  ASSERT_TRUE(fixture.open());
  EXPECT_EQ(Snapshot(fixture.root()), before);
  fixture.exportHtml(MessageAnswer::Yes, MessageAnswer::Ok);
  fixture.exportHtml(MessageAnswer::No, MessageAnswer::Cancel);

  EXPECT_TRUE(fixture.platform.errors.empty());
  EXPECT_EQ(Without(Snapshot(fixture.root()), "program/Output"), Without(before, "program/Output"));
  EXPECT_EQ(fixture.platform.opened, (std::vector<fs::path>{fixture.outputDir() / "logbook.html"}));
}

TEST_F(NoLoss, EmptyingOutputDeletesOnlyItsOwnPlainFiles) {
  fixture.writeTemplates("", "", "", "");
  fillOutput();
  auto expected = Snapshot(fixture.root());
  for (const char* gone : {"old.html", "d1.gif", "link_to_file", "dangling"}) {
    expected.erase(std::string("program/Output/") + gone);
  }
  expected["program/Output/logbook.html"] = "file:";
  ASSERT_TRUE(fixture.open());

  fixture.exportHtml(MessageAnswer::Yes);

  // Whether a link to a file goes with the plain files or stays is open;
  // what it points to must stay, and does, as the rest of the tree shows.
  auto after = Snapshot(fixture.root());
  after.erase("program/Output/link_to_file");
  after.erase("program/Output/dangling");
  EXPECT_EQ(after, expected);
}

TEST_F(NoLoss, AnsweringNoKeepsEveryFileTheExportDoesNotWrite) {
  fillOutput();
  write("program/Output/logbook.html", "the page of an earlier export");
  write("program/Output/d3.gif", "an earlier picture of dive 3");
  write("program/Output/d99.html", "the page of a dive no longer there");
  const auto before = Snapshot(fixture.root());
  ASSERT_TRUE(fixture.open());

  fixture.exportHtml(MessageAnswer::No);

  auto after = Snapshot(fixture.root());
  for (const char* rewritten : {"logbook.html", "d3.html", "d3.gif", "d5.html", "d5.gif"}) {
    const std::string name = std::string("program/Output/") + rewritten;
    ASSERT_TRUE(after.contains(name)) << name;
    EXPECT_NE(after[name], before.contains(name) ? before.at(name) : "") << name;
    after.erase(name);
  }
  auto unchanged = before;
  unchanged.erase("program/Output/logbook.html");
  unchanged.erase("program/Output/d3.gif");
  EXPECT_EQ(after, unchanged);
}

}  // namespace
}  // namespace quellmar::testing
