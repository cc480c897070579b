// The export when a file or folder it needs exists but is not what it should
// be: a template that is a directory, an Output that is a plain file, a
// picture or note page whose name is taken by a directory, a file in Output
// that cannot be deleted. Each gives exactly the messages and history lines
// the export promises, and nothing else changes.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "robustness/robustness_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kClearQuestion = "Would You like clear the OUTPUT directory ?";
constexpr const char* kFinished = "HTML write finished.\n\rMay I show You the logbook.html ?";

const ShownMessage kAskClear{MessageKind::Confirm, kClearQuestion, MessageButtons::YesNo};
const ShownMessage kAskView{MessageKind::Information, kFinished, MessageButtons::OkCancel};

// Three dives, numbered 3, 7 and 12, each with a note and a profile.
class ExportFault : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture.writeTemplates("<html>@totalsac@\r\n", "<p>@diveno@ @noteorgif@ @profile_gif@</p>\r\n",
                           "</html>\r\n", "<h1>@diveno@</h1>@note@\r\n");
    fixture.writeExport(DiveLine(101, 12, 18) + "\r\n" + DiveLine(102, 3, 25) + "\r\n" +
                            DiveLine(103, 7, 9) + "\r\n",
                        "101,\"twelve\"\r\n102,\"three\"\r\n103,\"seven\"\r\n",
                        ProfileLines(101, {"0", "5", "12", "0.0"}) +
                            ProfileLines(102, {"0", "9", "25", "0.0"}) +
                            ProfileLines(103, {"0", "4", "0.0"}));
    ASSERT_TRUE(fixture.open());
    fixture.platform.messages.clear();
    historyStart = fixture.session.window.history().size();
  }

  std::vector<std::string> exportHistory() const {
    return HistoryFrom(fixture.session, historyStart);
  }

  std::string link(int n) const {
    return "<a href=\"javascript:nw('" + std::to_string(n) +
           "')\"><img src=\"../pict/nog.gif\" align=\"right\" border=\"0\"></a>";
  }

  ProgramFixture fixture;
  std::size_t historyStart = 0;
};

class TemplateIsDirectory : public ExportFault,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(TemplateIsDirectory, CountsAsMissingAndTouchesNothing) {
  const auto entry = fixture.programDir() / "html" / GetParam();
  fs::remove(entry);
  fs::create_directories(entry / "inside");
  const auto before = Snapshot(fixture.root());

  fixture.exportHtml(MessageAnswer::Yes, MessageAnswer::Ok);

  const std::string missing = "HTML sources open error. File(s) not found.";
  EXPECT_EQ(exportHistory(), (std::vector<std::string>{"HTML write started.", missing}));
  EXPECT_EQ(fixture.platform.messages,
            (std::vector<ShownMessage>{{MessageKind::Warning, missing, MessageButtons::Ok}}));
  EXPECT_EQ(Snapshot(fixture.root()), before);
  EXPECT_FALSE(fs::exists(fixture.outputDir()));
  EXPECT_TRUE(fixture.platform.opened.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Templates, TemplateIsDirectory,
    ::testing::Values("head.html", "lines.html", "foot.html", "note.html"), [](const auto& info) {
      return std::string(info.param).substr(0, std::string(info.param).find('.'));
    });

TEST_F(ExportFault, OutputThatIsAPlainFileIsLeftAloneAndEndsTheExportWithAnError) {
  fixture.writeTemplates("<html>\r\n", "<p>@diveno@ @noteorgif@ @profile_gif@</p>\r\n",
                         "</html>\r\n", "@note@\r\n");
  std::ofstream(fixture.outputDir(), std::ios::binary) << "the user's own file";
  const auto before = Snapshot(fixture.root());

  EXPECT_FALSE(fixture.exportHtml(MessageAnswer::Yes));

  EXPECT_EQ(exportHistory(), (std::vector<std::string>{"HTML write started."}));
  EXPECT_TRUE(fixture.platform.messages.empty());
  const auto page = fixture.outputDir() / "logbook.html";
  EXPECT_EQ(fixture.platform.errors,
            (std::vector<std::string>{"Cannot create file " + page.string() + "."}));
  EXPECT_EQ(fixture.platform.errorDetails,
            (std::vector<std::string>{fixture.outputDir().string() + ": Not a directory"}));
  EXPECT_EQ(Snapshot(fixture.root()), before);
}

// The first dive's picture cannot be made: the export ends there and leaves
// Output as it was, although the clearing was answered Yes: no page of the
// new logbook, nothing deleted.
TEST_F(ExportFault, PicturePathThatIsADirectoryEndsTheExportAtThatPicture) {
  fs::create_directories(fixture.outputDir() / "d3.gif");
  fixture.writeTemplates("<html>\r\n", "<p>@diveno@ @noteorgif@ @profile_gif@</p>\r\n",
                         "</html>\r\n", "<h1>@diveno@</h1>@note@\r\n");
  std::ofstream(fixture.outputDir() / "d3.gif" / "keep.txt") << "kept";
  std::ofstream(fixture.outputDir() / "d1.html") << "an earlier page";
  const auto before = Snapshot(fixture.root());

  fixture.exportHtml(MessageAnswer::Yes, MessageAnswer::Ok);

  const auto picture = fixture.outputDir() / "d3.gif";
  EXPECT_EQ(fixture.platform.errors,
            (std::vector<std::string>{"Cannot create file " + picture.string() + "."}));
  EXPECT_EQ(fixture.platform.errorDetails,
            (std::vector<std::string>{picture.string() + ": Is a directory"}));
  EXPECT_EQ(exportHistory(), (std::vector<std::string>{"HTML write started."}));
  EXPECT_EQ(fixture.platform.messages, (std::vector<ShownMessage>{kAskClear}));
  EXPECT_TRUE(fixture.platform.opened.empty());
  EXPECT_EQ(Snapshot(fixture.root()), before);
  EXPECT_EQ(fixture.session.window.selectedDive(), 0);
  EXPECT_TRUE(fixture.session.logbook);
}

// A note page that cannot be made ends the export like a picture, after the
// pages of the dives before it were written: none of them is left behind.
TEST_F(ExportFault, NotePagePathThatIsADirectoryEndsTheExportAtThatPage) {
  fixture.session.window.options.gif = false;
  fs::create_directories(fixture.outputDir() / "d7.html");
  std::ofstream(fixture.outputDir() / "d7.html" / "keep.txt") << "kept";
  const auto before = Snapshot(fixture.root());

  fixture.exportHtml(MessageAnswer::Yes);

  const auto page = fixture.outputDir() / "d7.html";
  EXPECT_EQ(exportHistory(), (std::vector<std::string>{"HTML write started."}));
  EXPECT_EQ(fixture.platform.messages, (std::vector<ShownMessage>{kAskClear}));
  EXPECT_EQ(fixture.platform.errors,
            (std::vector<std::string>{"Cannot create file " + page.string() + "."}));
  EXPECT_EQ(Snapshot(fixture.root()), before);
}

// Sets the file's immutable flag, which stops even root from deleting it, and
// clears it again at the end.
class ImmutableFile {
 public:
  explicit ImmutableFile(const fs::path& path) : fd_(::open(path.c_str(), O_RDONLY)) {
    if (fd_ < 0) return;
    int flags = 0;
    if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return;
    flags |= FS_IMMUTABLE_FL;
    set_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ~ImmutableFile() {
    if (set_) {
      int flags = 0;
      if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
      }
    }
    if (fd_ >= 0) ::close(fd_);
  }
  ImmutableFile(const ImmutableFile&) = delete;
  ImmutableFile& operator=(const ImmutableFile&) = delete;
  bool set() const { return set_; }

 private:
  int fd_;
  bool set_ = false;
};

TEST_F(ExportFault, FileThatCannotBeDeletedIsSkippedAndTheOthersGo) {
  fs::create_directories(fixture.outputDir());
  std::ofstream(fixture.outputDir() / "a.txt") << "a";
  std::ofstream(fixture.outputDir() / "b.txt") << "stays";
  std::ofstream(fixture.outputDir() / "d99.gif") << "old picture";
  const ImmutableFile locked(fixture.outputDir() / "b.txt");
  if (!locked.set()) GTEST_SKIP() << "this file system cannot make a file undeletable";

  fixture.exportHtml(MessageAnswer::Yes);

  EXPECT_EQ(exportHistory(),
            (std::vector<std::string>{"HTML write started.", "HTML write finished."}));
  EXPECT_EQ(fixture.platform.messages, (std::vector<ShownMessage>{kAskClear, kAskView}));
  EXPECT_FALSE(fs::exists(fixture.outputDir() / "a.txt"));
  EXPECT_FALSE(fs::exists(fixture.outputDir() / "d99.gif"));
  EXPECT_EQ(ReadFile(fixture.outputDir() / "b.txt"), "stays");
  EXPECT_TRUE(fs::exists(fixture.outputDir() / "d12.gif"));
}

// A read-only Output: nothing in it can be deleted or written. Root is not
// stopped by permissions, so the export runs in a child as the user nobody.
TEST_F(ExportFault, ReadOnlyOutputKeepsItsFilesAndEndsTheExportWithAnError) {
  fs::create_directories(fixture.outputDir());
  std::ofstream(fixture.outputDir() / "a.txt") << "a";
  std::ofstream(fixture.outputDir() / "logbook.html") << "the earlier logbook";
  fs::permissions(fixture.outputDir(), fs::perms::owner_read | fs::perms::owner_exec);
  OpenToOthers(fixture.root());
  // The user's own program folder, where the export may build its new Output.
  fs::permissions(fixture.programDir(), fs::perms::others_all, fs::perm_options::add);
  const auto before = Snapshot(fixture.root());
  fixture.session.window.options.gif = false;

  const auto child = RunInChild([&] {
    if (!BecomeNobody()) return std::vector<std::string>{"no user nobody"};
    fixture.exportHtml(MessageAnswer::Yes);
    auto texts = exportHistory();
    const auto shown = ShownTexts(fixture.platform);
    texts.insert(texts.end(), shown.begin(), shown.end());
    return texts;
  });

  ASSERT_TRUE(child.exitedNormally && child.exitCode == 0);
  const auto page = fixture.outputDir() / "logbook.html";
  EXPECT_EQ(child.texts, (std::vector<std::string>{"HTML write started.", kClearQuestion,
                                                   "Cannot create file " + page.string() + ".",
                                                   page.string() + ": Permission denied"}));
  EXPECT_EQ(Snapshot(fixture.root()), before);
}

}  // namespace
}  // namespace quellmar::testing
