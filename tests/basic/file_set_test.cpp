// A set written for another folder keeps a file there that already holds its
// bytes, as a second name, and writes every other one anew.
#include "basic/file_set.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/temp_dir.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;

struct KeepCase {
  const char* name;
  std::function<void(const testing::TempDir&)> earlier;  // makes old/d1.html
  std::vector<std::string> written;                      // d1.html's bytes, in turn
  bool kept;
};

void Earlier(const testing::TempDir& dir, const std::string& bytes) {
  dir.write("old/d1.html", bytes);
}

const KeepCase kCases[] = {
    {"same_bytes", [](const auto& dir) { Earlier(dir, "<p>dive</p>"); }, {"<p>dive</p>"}, true},
    {"same_size", [](const auto& dir) { Earlier(dir, "<p>Dive</p>"); }, {"<p>dive</p>"}, false},
    {"longer", [](const auto& dir) { Earlier(dir, "<p>dive</p>"); }, {"<p>dive</p>!"}, false},
    {"shorter", [](const auto& dir) { Earlier(dir, "<p>dive</p>"); }, {"<p>dive"}, false},
    {"missing", [](const auto&) {}, {"<p>dive</p>"}, false},
    {"second_name",
     [](const auto& dir) {
       Earlier(dir, "<p>dive</p>");
       fs::create_hard_link(dir.path() / "old/d1.html", dir.path() / "mine.html");
     },
     {"<p>dive</p>"},
     false},
    {"kept_then_written_again",
     [](const auto& dir) { Earlier(dir, "<p>dive</p>"); },
     {"<p>dive</p>", "<p>another dive</p>"},
     false},
#ifndef _WIN32
    {"link_to_the_bytes",
     [](const auto& dir) {
       dir.write("mine.html", "<p>dive</p>");
       fs::create_symlink("../mine.html", dir.path() / "old/d1.html");
     },
     {"<p>dive</p>"},
     false},
#endif
};

class KeepFile : public ::testing::TestWithParam<KeepCase> {};

TEST_P(KeepFile, KeepsOnlyAFileOfOneNameWithTheSameBytes) {
  const testing::TempDir dir;
  fs::create_directories(dir.path() / "old");
  fs::create_directories(dir.path() / "new");
  GetParam().earlier(dir);
  SystemFileCalls calls;
  FileSet set(dir.path() / "new", calls, dir.path() / "old");
  for (const auto& name : {"logbook.html", "d1.html"}) {
    for (const auto& bytes :
         name == std::string("d1.html") ? GetParam().written : std::vector<std::string>{"index"}) {
      FileSet::NewFile file(set, name);
      ASSERT_TRUE(file.write(bytes) && file.finish());
    }
  }
  ASSERT_TRUE(set.commit("logbook.html"));

  const auto made = dir.path() / "new/d1.html";
  EXPECT_EQ(testing::ReadFile(made), GetParam().written.back());
  if (fs::exists(dir.path() / "mine.html")) {
    EXPECT_EQ(testing::ReadFile(dir.path() / "mine.html"), "<p>dive</p>");
  }
  // The same file under two names: what reaches one shows in the other.
  if (fs::is_regular_file(fs::symlink_status(dir.path() / "old/d1.html"))) {
    std::ofstream(dir.path() / "old/d1.html", std::ios::app) << "+";
  }
  EXPECT_EQ(testing::ReadFile(made).ends_with("+"), GetParam().kept);
  for (const auto& entry : fs::directory_iterator(dir.path() / "new")) {
    EXPECT_FALSE(IsOwnTemporary(entry.path().filename())) << entry.path();
  }
}

INSTANTIATE_TEST_SUITE_P(Earlier, KeepFile, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A folder of a logbook's size goes on several threads, whole; a link in it
// goes, never what it points to.
TEST(RemoveTree, RemovesEverythingBelowAndNoLinkedFile) {
  const testing::TempDir dir;
  for (int i = 0; i < 1200; ++i) {
    dir.write("old/" + std::string(i % 2 ? "pict/" : "") + "d" + std::to_string(i) + ".html", "x");
  }
  dir.write("mine.html", "mine");
#ifndef _WIN32
  fs::create_symlink("../mine.html", dir.path() / "old/link.html");
  fs::create_directory_symlink("..", dir.path() / "old/pict/up");
#endif
  SystemFileCalls calls;
  EXPECT_TRUE(calls.removeTree(dir.path() / "old"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "old")));
  EXPECT_EQ(testing::ReadFile(dir.path() / "mine.html"), "mine");
}

}  // namespace
}  // namespace quellmar
