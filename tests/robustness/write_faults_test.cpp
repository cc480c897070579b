// Every file the export writes goes to a temporary file and takes its name
// only when complete: a link or a FIFO in its place is replaced, never
// written through or opened; a file that cannot be made or written ends the
// export with the file and the system's reason, no final question, and the
// earlier logbook whole. Each case runs in a child process, as the user
// nobody where permissions matter (root passes them), or with a limit on
// file sizes as a full disk.
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "basic/os_file.h"
#include "robustness/robustness_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;

const char* const kEarlier = "the earlier logbook";

struct WriteFaultCase {
  const char* name;
  void (*prepare)(const ProgramFixture& fixture);
  bool asNobody;
  rlim_t fileSizeLimit;  // 0: none
  const char* error;     // the error box's text after its path; nullptr: the export finishes
  const char* file;      // the file the error names, under the program directory
  const char* details;   // what the details name ahead of the reason, under the program directory
  const char* reason;
};

void PrintTo(const WriteFaultCase& fault, std::ostream* out) { *out << fault.name; }

// A program folder the user nobody may write in, as a user's own is.
void OpenForNobody(const fs::path& folder) {
  fs::permissions(folder, fs::perms::others_all, fs::perm_options::add);
}

void WriteEarlier(const ProgramFixture& fixture) {
  fs::create_directories(fixture.outputDir());
  std::ofstream(fixture.outputDir() / "logbook.html") << kEarlier;
}

// clang-format off
const WriteFaultCase kCases[] = {
  {"logbook_is_a_folder", [](const ProgramFixture& f) { fs::create_directories(f.outputDir() / "logbook.html" / "x"); },
   false, 0, "Cannot create file ", "Output/logbook.html", "Output/logbook.html", "Is a directory"},
  {"program_folder_read_only", [](const ProgramFixture& f) { fs::permissions(f.programDir(), fs::perms::owner_read | fs::perms::owner_exec); },
   true, 0, "Cannot create file ", "Output/logbook.html", "Output", "Permission denied"},
  {"output_read_only", [](const ProgramFixture& f) { WriteEarlier(f); OpenForNobody(f.programDir()); fs::permissions(f.outputDir(), fs::perms::owner_read | fs::perms::owner_exec); },
   true, 0, "Cannot create file ", "Output/logbook.html", "Output/logbook.html", "Permission denied"},
  {"output_dangling_link", [](const ProgramFixture& f) { fs::create_directory_symlink("../gone", f.outputDir()); },
   false, 0, "Cannot create file ", "Output/logbook.html", "Output", "a link to ../gone, which is missing: No such file or directory"},
  {"disk_full_keeps_earlier_logbook", WriteEarlier,
   false, 60, "Cannot write file ", "Output/d3.gif", "Output/d3.gif", "File too large"},
  {"links_are_replaced_not_written_through", [](const ProgramFixture& f) {
     WriteEarlier(f);
     std::ofstream(f.root() / "precious.txt") << "precious";
     fs::create_symlink(f.root() / "precious.txt", f.outputDir() / "d3.gif");
     fs::create_hard_link(f.root() / "precious.txt", f.outputDir() / "d7.html");
   }, false, 0, nullptr, nullptr, nullptr, nullptr},
  {"fifos_are_replaced_not_opened", [](const ProgramFixture& f) {
     WriteEarlier(f);
     ::mkfifo((f.outputDir() / "logbook.html").c_str(), 0644);
     ::mkfifo((f.outputDir() / "d12.gif").c_str(), 0644);
   }, false, 0, nullptr, nullptr, nullptr, nullptr},
};
// clang-format on

class WriteFault : public ::testing::TestWithParam<WriteFaultCase> {};

TEST_P(WriteFault, ReplacesWholeFilesOrEndsWithTheFileAndTheReason) {
  const auto& row = GetParam();
  ProgramFixture fixture;
  fixture.writeTemplates("<html>\r\n", "<p>@diveno@ @subpage@ @profile_gif@</p>\r\n", "</html>\r\n",
                         "<h1>@diveno@</h1>@note@\r\n");
  fixture.writeExport(
      DiveLine(101, 12, 18) + "\r\n" + DiveLine(102, 3, 25) + "\r\n" + DiveLine(103, 7, 9) + "\r\n",
      "101,\"twelve\"\r\n102,\"three\"\r\n103,\"seven\"\r\n",
      ProfileLines(101, {"0", "5", "12", "0.0"}) + ProfileLines(102, {"0", "9", "25", "0.0"}) +
          ProfileLines(103, {"0", "4", "0.0"}));
  ASSERT_TRUE(fixture.open());
  const auto historyStart = fixture.session.window.history().size();
  fixture.platform.messages.clear();
  row.prepare(fixture);
  if (row.asNobody) OpenToOthers(fixture.root());
  const auto before = Without(Snapshot(fixture.root()), "program/Output");

  const auto child = RunInChild([&] {
    if (row.asNobody && !BecomeNobody()) return std::vector<std::string>{"no user nobody"};
    std::signal(SIGXFSZ, SIG_IGN);
    if (row.fileSizeLimit > 0) {
      const rlimit limit{row.fileSizeLimit, row.fileSizeLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    const bool finished = fixture.exportHtml(MessageAnswer::No);
    std::vector<std::string> texts{finished ? "finished" : "stopped",
                                   HistoryFrom(fixture.session, historyStart).back()};
    for (const auto& message : fixture.platform.messages) texts.push_back(message.text);
    for (std::size_t i = 0; i < fixture.platform.errors.size(); ++i) {
      texts.push_back(fixture.platform.errors[i]);
      texts.push_back(fixture.platform.errorDetails[i]);
    }
    return texts;
  });
  ASSERT_TRUE(child.exitedNormally && child.exitCode == 0) << child.signal;

  const std::string question = "Would You like clear the OUTPUT directory ?";
  const auto output = fixture.outputDir();
  if (row.error == nullptr) {
    ASSERT_EQ(child.texts.size(), 3u + 1u);
    EXPECT_EQ(child.texts[0], "finished");
    for (const char* name : {"logbook.html", "d3.gif", "d7.html", "d12.gif"}) {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(output / name))) << name;
    }
    EXPECT_EQ(ReadFile(output / "d7.html"), "<h1>7</h1>seven\r\n");
  } else {
    const std::string file = (fixture.programDir() / row.file).string();
    const std::string details = (fixture.programDir() / row.details).string();
    // An Output that cannot be made ends the export before the question.
    std::vector<std::string> expected{"stopped", "HTML write started.", question,
                                      row.error + file + ".", details + ": " + row.reason};
    if (std::string(row.details) == "Output") expected.erase(expected.begin() + 2);
    EXPECT_EQ(child.texts, expected);
    if (fs::is_regular_file(output / "logbook.html")) {
      EXPECT_EQ(ReadFile(output / "logbook.html"), kEarlier);
    }
  }
  // Nothing outside Output changed, and no temporary file is left in it.
  EXPECT_EQ(Without(Snapshot(fixture.root()), "program/Output"), before);
  if (fs::is_directory(output)) {
    for (const auto& entry : fs::directory_iterator(output)) {
      EXPECT_FALSE(entry.path().filename().string().ends_with(".tmp")) << entry.path();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteFault, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Two program directories whose Output is one folder (a link): while one
// exports, the other is refused before the clearing question, and nothing is
// deleted or written.
TEST(WriteFault, SecondExportIntoTheSameOutputIsRefused) {
  ProgramFixture fixture;
  fixture.writeTemplates("<html>\r\n", "<p>@diveno@</p>\r\n", "</html>\r\n", "");
  fixture.writeExport(DiveLine(101, 12, 18) + "\r\n", "", "");
  ASSERT_TRUE(fixture.open());
  WriteEarlier(fixture);
  const auto shared = fixture.root() / "shared";
  fs::rename(fixture.outputDir(), shared);
  fs::create_directory_symlink(shared, fixture.outputDir());
  fixture.platform.messages.clear();
  SystemFileCalls calls;
  const ExclusiveLock running(calls, shared);  // the other program directory's export
  ASSERT_EQ(running.state(), ExclusiveLock::State::Held);
  const auto before = Snapshot(fixture.root());

  EXPECT_FALSE(fixture.exportHtml(MessageAnswer::Yes));

  const std::string refused =
      "Another HTML export is writing into this Output folder. Try again when it has finished.";
  EXPECT_EQ(fixture.platform.messages,
            (std::vector<ShownMessage>{{MessageKind::Warning, refused, MessageButtons::Ok}}));
  EXPECT_EQ(fixture.session.window.history().back(), refused);
  EXPECT_EQ(Snapshot(fixture.root()), before);
}

// An Output folder that cannot be locked: the export is refused before the
// question with the folder and the reason, and nothing changes. As nobody:
// root passes the permissions.
struct LockRefusalCase {
  const char* name;
  void (*prepare)(const ProgramFixture& fixture);
  const char* reason;  // after "Output: "; a lock file path in it under the program folder
};

void PrintTo(const LockRefusalCase& refusal, std::ostream* out) { *out << refusal.name; }

// clang-format off
const LockRefusalCase kLockRefusals[] = {
  {"output_cannot_be_read", [](const ProgramFixture& f) { fs::permissions(f.outputDir(), fs::perms::none); },
   "Permission denied"},
  {"program_folder_read_only", [](const ProgramFixture&) {},
   ".Output.quellmar-lock: Permission denied"},
};
// clang-format on

class LockRefusal : public ::testing::TestWithParam<LockRefusalCase> {};

TEST_P(LockRefusal, NamesTheFolderAndTheReason) {
  ProgramFixture fixture;
  fixture.writeTemplates("<html>\r\n", "<p>@diveno@</p>\r\n", "</html>\r\n", "");
  fixture.writeExport(DiveLine(101, 12, 18) + "\r\n", "", "");
  ASSERT_TRUE(fixture.open());
  fixture.platform.messages.clear();
  WriteEarlier(fixture);
  OpenToOthers(fixture.root());
  GetParam().prepare(fixture);
  const auto before = Snapshot(fixture.root());

  const auto child = RunInChild([&] {
    if (!BecomeNobody()) return std::vector<std::string>{"no user nobody"};
    fixture.exportHtml(MessageAnswer::Yes);
    std::vector<std::string> texts{fixture.session.window.history().back()};
    for (const auto& message : fixture.platform.messages) texts.push_back(message.text);
    texts.push_back(fixture.platform.messageDetails.back());
    return texts;
  });

  const std::string refused = "The Output folder cannot be locked for the HTML export.";
  std::string reason = GetParam().reason;
  if (reason.starts_with(".")) reason = (fixture.programDir() / reason).string();
  EXPECT_EQ(child.texts, (std::vector<std::string>{refused, refused,
                                                   fixture.outputDir().string() + ": " + reason}));
  EXPECT_EQ(Snapshot(fixture.root()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, LockRefusal, ::testing::ValuesIn(kLockRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellmar::testing
