#include "html_out/logbook_writer.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "basic/path_text.h"
#include "html_out/output_file.h"
#include "html_out/profile_picture.h"
#include "support/temp_dir.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using Lines = std::vector<std::string>;

Dive MakeDive(std::int32_t number) {
  Dive d;
  d.key = 100 + number;
  d.number = number;
  d.date = "2023-08-0" + std::to_string(number % 10);
  d.time = "10:15";
  d.diveTime = 2400;
  d.surfaceInterval = 5400;
  d.maxDepth = 18;
  d.averageDepth = 9;
  d.location = "Lake Constance";
  d.site = "Site " + std::to_string(number);
  d.airTemperature = 22;
  d.bottomTemperature = 8;
  d.endTemperature = 12;
  d.buddy = "Kim";
  d.tankName = "Alu 80";
  d.tankVolume = 11;
  d.startPressure = 210;
  d.endPressure = 60;
  d.sac = 16;
  d.oxygen = 21;
  return d;
}

void WithProfile(Dive& d, std::string profile) { d.profile = std::move(profile); }

// What the export told, in order: "dive I/N" as each dive starts, "left
// out N: REASON" for a picture it could not make.
struct Told : ExportReport {
  void diveStarted(int index, int count) override {
    events.push_back("dive " + std::to_string(index) + "/" + std::to_string(count));
  }
  void pictureLeftOut(std::int32_t number, const std::string& reason) override {
    events.push_back("left out " + std::to_string(number) + ": " + reason);
  }
  Lines events;
};

class WriterTest : public ::testing::Test {
 protected:
  WriterTest() { book.summary = {7200, 2400, 18, 16}; }
  // The export as the commands run it, with the clearing answered.
  HtmlExportResult write(bool clear = false) {
    told.events.clear();
    MakeOutputFolder(dir.path());
    SystemFileCalls calls;
    return WriteHtmlLogbook({book, options, dir.path(), clear, threads}, told, calls);
  }
  void smallTemplates() {
    dir.write("html/head.html", "<head n=\"@totalsac@\">\r\n");
    dir.write("html/lines.html", "<dive n=\"@diveno@\">\r\n@note_ico@\r\n");
    dir.write("html/foot.html", "</foot>");
    dir.write("html/note.html", "note of @diveno@");
  }
  void bundledTemplates() {
    const fs::path source = fs::path(QUELLMAR_SOURCE_DIR) / "resources" / "html";
    fs::create_directories(dir.path() / "html");
    for (const char* name : {"head.html", "lines.html", "foot.html", "note.html"}) {
      fs::copy_file(source / name, dir.path() / "html" / name);
    }
  }
  void addDives(std::initializer_list<std::int32_t> numbers) {
    for (auto number : numbers) book.dives.push_back(MakeDive(number));
  }
  fs::path output(const std::string& name = {}) const { return dir.path() / "Output" / name; }
  std::string page() const { return ReadFile(output("logbook.html")); }

  TempDir dir;
  Logbook book;
  ExportOptions options;
  unsigned threads = 1;
  Told told;
};

// The same cases on one thread and on several.
class ThreadsTest : public WriterTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  ThreadsTest() { threads = GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Threads, ThreadsTest, ::testing::Values(1u, 3u));

// Compares with the golden file; QUELLMAR_UPDATE_GOLDEN=1 rewrites it
// (run the test once with it set after an intended change to the templates).
void ExpectGolden(const fs::path& written, const std::string& goldenName) {
  const fs::path golden = fs::path(QUELLMAR_SOURCE_DIR) / "tests/html_out/golden" / goldenName;
  const std::string bytes = ReadFile(written);
  if (std::getenv("QUELLMAR_UPDATE_GOLDEN") != nullptr)
    fs::copy_file(written, golden, fs::copy_options::overwrite_existing);
  EXPECT_EQ(bytes, ReadFile(golden)) << "differs from " << golden;
}

TEST_P(ThreadsTest, BundledTemplatesGiveTheGoldenPages) {
  bundledTemplates();
  addDives({1, 2, 12});
  auto& nitrox = book.dives[2];
  nitrox.oxygen = 32;
  nitrox.note = "Turtle at the wreck.<br>\n\rStrong current on the way back.";
  nitrox.site = "Wreck <i>Thistlegorm</i>";
  WithProfile(nitrox, "0,6.2,18,17.5,9,3,0.0");
  ExactValues& exact = nitrox.exact;
  exact.diveTime = Decimal::Parse("2437");
  exact.maxDepth = Decimal::Parse("18.3");
  exact.averageDepth = Decimal::Parse("9.12");
  exact.tankVolume = Decimal::Parse("11.1");
  exact.startPressure = Decimal::Parse("200");
  exact.endPressure = Decimal::Parse("0");  // not recorded: blank
  exact.sac = Decimal::Parse("15.6");
  exact.oxygen = Decimal::Parse("32");
  book.dives[1].note = "x";  // too short to count as a note
  Dive& first = book.dives[0];
  first.site = "Site 2";  // the same site as dive 2: each page lists the other
  first.location.clear();
  write();
  ExpectGolden(output("logbook.html"), "logbook.html");
  ExpectGolden(output("d12.html"), "d12.html");
  ExpectGolden(output("d1.html"), "d1.html");
  EXPECT_TRUE(fs::exists(output("d12.gif")));
  EXPECT_TRUE(fs::exists(output("d2.html")));  // every dive gets its page
  EXPECT_FALSE(fs::exists(output("d1.gif")));
}

TEST_F(WriterTest, WritesHeadThenTheLinesOfEveryDiveThenFoot) {
  smallTemplates();
  addDives({3, 5, 9});
  book.dives[1].note = "seen a seal";
  write();
  EXPECT_EQ(
      page(),
      "<head n=\"16\">\r\n"
      "<dive n=\"3\">\r\n\r\n"
      "<dive n=\"5\">\r\n"
      R"x(<a href="javascript:nw('5')"><img src="../pict/note.gif" align="right" border="0"></a>)x"
      "\r\n"
      "<dive n=\"9\">\r\n\r\n"
      "</foot>\r\n");
  EXPECT_EQ(ReadFile(output("d5.html")), "note of 5\r\n");
  EXPECT_EQ(told.events, (Lines{"dive 0/3", "dive 1/3", "dive 2/3"}));
}

TEST_F(WriterTest, LogbookWithoutDivesHoldsHeadAndFoot) {
  smallTemplates();
  write();
  EXPECT_EQ(page(), "<head n=\"16\">\r\n</foot>\r\n");
  EXPECT_TRUE(told.events.empty());
}

class MissingTemplateTest : public WriterTest,
                            public ::testing::WithParamInterface<std::tuple<const char*, bool>> {};

TEST_P(MissingTemplateTest, RefusesTheExport) {
  const auto [name, asDirectory] = GetParam();
  smallTemplates();
  fs::remove(dir.path() / "html" / name);
  if (asDirectory) fs::create_directory(dir.path() / "html" / name);
  options.note = false;
  options.gif = false;
  EXPECT_EQ(CheckHtmlExport(dir.path(), options), ExportRefusal::MissingTemplates);
}

INSTANTIATE_TEST_SUITE_P(EachTemplate, MissingTemplateTest,
                         ::testing::Combine(::testing::Values("head.html", "lines.html",
                                                              "foot.html", "note.html"),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           std::string name = std::get<0>(info.param);
                           name = name.substr(0, name.find('.'));
                           return name + (std::get<1>(info.param) ? "_is_a_directory" : "_missing");
                         });

#ifndef _WIN32
// What a user may keep in Output beside the export's own files. Links stay
// on POSIX systems: under wine, deleting a Unix link deletes its target.
class ClearTest : public WriterTest {
 protected:
  ClearTest() {
    smallTemplates();
    dir.write("Output/old.html", "earlier export");
    dir.write("Output/d99.gif", "GIF87a");
    dir.write("Output/sub/kept.txt", "inside a subdirectory");
    dir.write("Output/.hidden", "hidden");
    fs::create_directory(outside.path() / "dir");
    fs::create_symlink(outside.write("target.txt", "outside"), output("link.txt"));
    fs::create_directory_symlink(outside.path() / "dir", output("dirlink"));
    fs::create_symlink(outside.path() / "gone", output("dangling"));
  }
  TempDir outside;
};

TEST_F(ClearTest, YesDeletesOnlyThePlainFilesOfOutput) {
  write(true);
  EXPECT_FALSE(fs::exists(output("old.html")));
  EXPECT_FALSE(fs::exists(output("d99.gif")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(output("link.txt"))));
  EXPECT_FALSE(fs::exists(fs::symlink_status(output("dangling"))));
  EXPECT_EQ(ReadFile(output("sub/kept.txt")), "inside a subdirectory");
  EXPECT_EQ(ReadFile(output(".hidden")), "hidden");
  EXPECT_TRUE(fs::is_symlink(output("dirlink")));
  EXPECT_EQ(ReadFile(outside.path() / "target.txt"), "outside");
  EXPECT_TRUE(fs::is_directory(outside.path() / "dir"));
  EXPECT_EQ(page(), "<head n=\"16\">\r\n</foot>\r\n");
}

TEST_F(ClearTest, NoKeepsEverything) {
  write(false);
  EXPECT_EQ(ReadFile(output("old.html")), "earlier export");
  EXPECT_EQ(ReadFile(output("d99.gif")), "GIF87a");
  EXPECT_EQ(ReadFile(output("link.txt")), "outside");
  EXPECT_TRUE(fs::is_symlink(output("dangling")));
  EXPECT_EQ(ReadFile(output("sub/kept.txt")), "inside a subdirectory");
  EXPECT_EQ(ReadFile(output(".hidden")), "hidden");
}

#endif

TEST_F(WriterTest, OutputIsMadeWhenMissing) {
  smallTemplates();
  write(true);
  EXPECT_TRUE(fs::is_directory(output()));
  EXPECT_EQ(page(), "<head n=\"16\">\r\n</foot>\r\n");
}

// An index page or Output that cannot be made ends the export with an error
// naming the page (both used to end with "HTML write finished.").
TEST_F(WriterTest, IndexPageThatCannotBeMadeEndsTheExportWithAnError) {
  smallTemplates();
  addDives({4});
  fs::create_directories(output("logbook.html"));
  EXPECT_THROW(write(), ExportError);
  EXPECT_TRUE(fs::is_directory(output("logbook.html")));
}

TEST_F(WriterTest, OutputThatIsAFileCannotBeMade) {
  smallTemplates();
  dir.write("Output", "a file where the directory belongs");
  EXPECT_THROW(MakeOutputFolder(dir.path()), ExportError);
  EXPECT_EQ(ReadFile(dir.path() / "Output"), "a file where the directory belongs");
}

#ifndef _WIN32
// A link in the index page's place is replaced, not written through (it used
// to write into /dev/full).
TEST_F(WriterTest, LinkInTheIndexPagesPlaceIsReplacedNotWrittenThrough) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  smallTemplates();
  addDives({1, 2});
  fs::create_directory(output());
  fs::create_symlink("/dev/full", output("logbook.html"));
  write();
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(output("logbook.html"))));
}
#endif

class BadPixelsTest : public WriterTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadPixelsTest, RefusesTheExportWithPicturesOnOnly) {
  smallTemplates();
  options.px = GetParam();
  EXPECT_EQ(CheckHtmlExport(dir.path(), options), ExportRefusal::BadPixelCount);
  options.gif = false;
  EXPECT_EQ(CheckHtmlExport(dir.path(), options), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Texts, BadPixelsTest, ::testing::Values("0", "-2", "", "px", " +0 "));

TEST_P(ThreadsTest, PictureThatCannotBeMadeEndsTheExportThere) {
  dir.write("html/head.html", "head");
  dir.write("html/lines.html", "<dive n=\"@diveno@\">\r\n@profile_ico@\r\nlast\r\n");
  dir.write("html/foot.html", "foot");
  dir.write("html/note.html", "note");
  addDives({1, 12, 13});
  WithProfile(book.dives[1], "0,5,9,0.0");
  WithProfile(book.dives[2], "0,5,9,0.0");
  fs::create_directories(output("d12.gif"));  // a directory where the picture belongs
  try {
    write();
    ADD_FAILURE() << "no error";
  } catch (const ExportError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + DisplayPath(output("d12.gif")));
  }
  EXPECT_EQ(told.events, (Lines{"dive 0/3", "dive 1/3"}));
  EXPECT_FALSE(fs::exists(output("logbook.html")));  // put in place only when whole
  EXPECT_FALSE(fs::exists(output("d13.gif")));

  // The logbook is unchanged and the export can run again once the way is free.
  fs::remove(output("d12.gif"));
  const auto result = write();
  EXPECT_TRUE(fs::is_regular_file(output("d13.gif")));
  ASSERT_TRUE(result.lastPicture);  // the last one made, for the clipboard
  EXPECT_EQ(result.lastPicture->width, 4);
}

// Every file of Output by name, with its bytes.
std::map<std::string, std::string> FilesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = ReadFile(entry.path());
  }
  return files;
}

// Made on several threads, the logbook and what the export tells are those of
// one thread: a dive's files replace those of an earlier dive of the same
// number, the pictures left out are told in dive order, once per number, and
// the clipboard gets the last dive's picture.
TEST_F(WriterTest, AnyNumberOfThreadsWritesTheSameLogbook) {
  bundledTemplates();
  std::string tooWide;  // 70,000 samples: wider than a GIF can be
  for (int i = 0; i < 70'000; ++i) tooWide += "1,";
  for (int i = 0; i < 60; ++i) {
    Dive& dive = book.dives.emplace_back(MakeDive(i % 23));
    dive.site = "Site " + std::to_string(i % 5);
    dive.note = i % 3 == 0 ? "note of " + std::to_string(i) : "";
    WithProfile(dive, i % 11 == 4 ? tooWide : std::to_string(i % 7) + ",5,12,9,0.0");
  }
  const auto one = write();
  const auto oneTold = told.events;
  const auto oneFiles = FilesIn(output());
  ASSERT_EQ(one.picturesLeftOut, (std::vector<std::int32_t>{4, 15, 3, 14, 2, 13}));
  for (unsigned count : {2u, 7u}) {
    SCOPED_TRACE(count);
    fs::remove_all(output());
    threads = count;
    const auto many = write();
    EXPECT_EQ(told.events, oneTold);
    EXPECT_EQ(many.picturesLeftOut, one.picturesLeftOut);
    ASSERT_TRUE(many.lastPicture);
    EXPECT_EQ(many.lastPicture->pixels, one.lastPicture->pixels);
    EXPECT_EQ(FilesIn(output()), oneFiles);
  }
}

#ifdef _WIN32
// What Windows does to the files a user keeps in Output. A file that cannot
// be replaced (read-only, or held open by another program without sharing)
// is kept by the clearing and named by the export; files hidden by attribute
// outlive the clearing; a name in other letter case is the same file.
enum class Setup { ReadOnly, HeldOpen, Hidden, Plain };

struct WindowsFileRow {
  const char* name;
  std::string file;  // in Output before the export
  Setup setup;
  bool clear;         // Output is emptied first
  bool kept;          // still holds what it held before
  bool namedAsError;  // the export ends with "Cannot create file" and its path
};

// clang-format off
const WindowsFileRow kWindowsFileRows[] = {
    {"read_only",   "d1.gif",      Setup::ReadOnly, true,  true,  true},
    {"held_open",   "d1.gif",      Setup::HeldOpen, true,  true,  true},
    {"thumbs_db",   "Thumbs.db",   Setup::Hidden,   true,  true,  false},
    {"desktop_ini", "desktop.ini", Setup::Hidden,   true,  true,  false},
    {"other_case",  "D1.GIF",      Setup::Plain,    false, false, false},
};
// clang-format on

void PrintTo(const WindowsFileRow& row, std::ostream* out) { *out << row.name; }

class WindowsFileTest : public WriterTest, public ::testing::WithParamInterface<WindowsFileRow> {};

TEST_P(WindowsFileTest, OutputFiles) {
  const auto& row = GetParam();
  dir.write("html/head.html", "head");
  dir.write("html/lines.html", "@profile_ico@");
  dir.write("html/foot.html", "foot");
  dir.write("html/note.html", "note");
  addDives({1});
  WithProfile(book.dives[0], "0,5,9,0.0");
  const auto file = dir.write("Output/" + row.file, "before");
  std::unique_ptr<void, decltype(&CloseHandle)> held(nullptr, &CloseHandle);
  if (row.setup == Setup::ReadOnly) {
    fs::permissions(file, fs::perms::all & ~fs::perms::owner_write);
    if (FILE* probe = _wfopen(file.c_str(), L"ab")) {
      std::fclose(probe);
      GTEST_SKIP() << "read-only files are written through here (wine run by root)";
    }
  } else if (row.setup == Setup::HeldOpen) {
    held.reset(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  } else if (row.setup == Setup::Hidden) {
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  }
  std::string error;
  std::string details;
  try {
    write(row.clear);
  } catch (const ExportError& e) {
    error = e.what();
    details = e.details();
  }
  EXPECT_EQ(error, row.namedAsError ? "Cannot create file " + DisplayPath(output("d1.gif")) : "");
  if (row.setup == Setup::HeldOpen) {
    EXPECT_TRUE(details.ends_with("(another program has the file open)")) << details;
  }
  held.reset();
  EXPECT_EQ(ReadFile(file) == "before", row.kept);
  if (!row.namedAsError) {
    EXPECT_TRUE(ReadFile(output("d1.gif")).starts_with("GIF"));
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, WindowsFileTest, ::testing::ValuesIn(kWindowsFileRows),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

}  // namespace
}  // namespace quellmar
