// What the robustness tests share: a program folder with templates beside an
// SDM export, both in a temporary directory, driven through the window's
// commands; and a snapshot of a whole folder tree to prove what did not change.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "commands/session.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace quellmar::testing {

// A main-file line of the export with the columns the tests look at; the
// others are empty.
std::string DiveLine(int key, int number, int maxDepth, std::string_view location = "Dahab",
                     std::string_view site = "Canyon");

// Profile lines for the key, one sample a line.
std::string ProfileLines(int key, const std::vector<std::string>& samples);

class ProgramFixture {
 private:
  TempDir dir_;  // made first: the platform is given a folder inside it

 public:
  ProgramFixture();

  const std::filesystem::path& root() const { return dir_.path(); }
  std::filesystem::path programDir() const { return dir_.path() / "program"; }
  std::filesystem::path outputDir() const { return programDir() / "Output"; }
  std::filesystem::path exportDir() const { return dir_.path() / "export"; }
  std::filesystem::path mainFile() const { return exportDir() / "log.csv"; }

  // html/head.html and the others; every template is written, even empty.
  void writeTemplates(std::string_view head, std::string_view lines, std::string_view foot,
                      std::string_view note);
  // log.csv with its three companions ($DGE.CSV empty).
  void writeExport(std::string_view main, std::string_view notes, std::string_view profiles);

  // The Open command on log.csv, as a user choosing it in the dialog.
  bool open();
  // The HTML export command; answers the two questions in turn.
  bool exportHtml(MessageAnswer clearOutput, MessageAnswer viewPage = MessageAnswer::Cancel);

  TestPlatform platform;
  Session session;
};

// What the platform showed: the messages' texts, then the errors and their
// details.
std::vector<std::string> ShownTexts(const TestPlatform& platform);

// Every entry under root, by path relative to root: "dir", "fifo", "link:" +
// target, or "file:" + the file's bytes. Links are not followed.
using TreeSnapshot = std::map<std::string, std::string>;
TreeSnapshot Snapshot(const std::filesystem::path& root);

// The snapshot without the entries under the given relative folder.
TreeSnapshot Without(TreeSnapshot snapshot, const std::string& folder);

// Runs work in a forked child process and hands back the texts it returned,
// and how the child ended. The child never returns into the test.
struct ChildResult {
  bool exitedNormally = false;
  int exitCode = -1;
  int signal = 0;
  std::vector<std::string> texts;
};
ChildResult RunInChild(const std::function<std::vector<std::string>()>& work);

// For a child that must meet file permissions as an ordinary user does (root
// passes them): lets every user read and enter the folders from root down
// (the parent), then switches the calling process to the user nobody (the
// child); false when it could not.
void OpenToOthers(const std::filesystem::path& root);
bool BecomeNobody();

// The history lines from the given one on.
std::vector<std::string> HistoryFrom(const Session& session, std::size_t first);

}  // namespace quellmar::testing
