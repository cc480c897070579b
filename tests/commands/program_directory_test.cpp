#include "commands/program_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>

#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using Kind = ProgramDirectory::Kind;
using testing::ReadFile;
using testing::TempDir;

#ifndef _WIN32
// The rule as a user who cannot write the executable's folder: CI runs as
// root, who writes anywhere, so the child drops to nobody.
Kind LocateAsOtherUser(const fs::path& exe, const std::optional<fs::path>& perUser) {
  fs::permissions(exe, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && setuid(65534) != 0) _exit(99);
    // A read-only portable copy fills the per-user folder from itself.
    const auto found = LocateProgramDirectory(std::nullopt, exe, perUser);
    _exit(found.installedData == exe ? static_cast<int>(found.kind) : 99);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return static_cast<Kind>(WIFEXITED(status) ? WEXITSTATUS(status) : 99);
}
#endif

struct LocateRow {
  const char* name;
  bool given, html, readOnly, perUserKnown;
  Kind kind;
  bool problem;
};
// clang-format off
const LocateRow kLocate[] = {
  // name                 given  html   r/o    per-user  kind            problem
  {"base_given",          true,  true,  false, true,     Kind::Given,    false},
  {"portable_copy",       false, true,  false, true,     Kind::Portable, false},
  {"no_templates_beside", false, false, false, true,     Kind::PerUser,  false},
  {"read_only_copy",      false, true,  true,  true,     Kind::PerUser,  false},
  {"no_per_user_folder",  false, false, false, false,    Kind::Portable, true},
};
// clang-format on

TEST(ProgramDirectory, Rule) {
  for (const auto& row : kLocate) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const auto exe = dir.path() / "bin";
    fs::create_directories(row.html ? exe / "html" : exe);
    const auto given = row.given ? std::optional(dir.path() / "mine") : std::nullopt;
    const auto perUser = row.perUserKnown ? std::optional(dir.path() / "user") : std::nullopt;
    if (row.readOnly) {
#ifndef _WIN32
      EXPECT_EQ(LocateAsOtherUser(exe, perUser), row.kind);
#endif
      continue;
    }
    const auto found = LocateProgramDirectory(given, exe, perUser);
    EXPECT_EQ(found.kind, row.kind);
    const fs::path expected = row.kind == Kind::Given     ? *given
                              : row.kind == Kind::PerUser ? *perUser
                                                          : exe;
    EXPECT_EQ(found.path, expected);
    EXPECT_EQ(!found.problem.empty(), row.problem) << found.problem;
    if (row.kind == Kind::PerUser) {
      EXPECT_EQ(found.installedData, dir.path() / "share" / "quellmar");
    }
    // The write test leaves nothing behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(exe), fs::directory_iterator()), row.html);
  }
}

TEST(ProgramDirectory, PerUserFolderIsFilledWithoutOverwriting) {
  TempDir dir;
  const auto data = dir.path() / "usr" / "share" / "quellmar";
  dir.write("usr/share/quellmar/html/head.html", "new head");
  dir.write("usr/share/quellmar/html/note.html", "note");
  dir.write("usr/share/quellmar/pict/nog.gif", "GIF89a");
  dir.write("usr/share/quellmar/examples/logbook.csv", "1,2");
  dir.write("usr/share/quellmar/readme.txt", "not the user's");
  const auto user = dir.path() / "home" / ".local" / "share" / "quellmar";
  dir.write("home/.local/share/quellmar/html/head.html", "my head");
  const ProgramDirectory directory{user, Kind::PerUser, data, ""};

  for (int start = 1; start <= 2; ++start) {
    SCOPED_TRACE(start);
    EXPECT_EQ(PrepareProgramDirectory(directory), "");
    EXPECT_EQ(ReadFile(user / "html" / "head.html"), "my head");
    EXPECT_EQ(ReadFile(user / "html" / "note.html"), "note");
    EXPECT_EQ(ReadFile(user / "pict" / "nog.gif"), "GIF89a");
    EXPECT_EQ(ReadFile(user / "examples" / "logbook.csv"), "1,2");
    EXPECT_FALSE(fs::exists(user / "readme.txt"));
  }
}

struct ProblemRow {
  const char* name;
  const char* user;  // under the temporary folder; "file" is a plain file
  bool data, userTemplates;
  const char* problem;  // the start of the message, "" for none
};
// clang-format off
const ProblemRow kProblems[] = {
  {"folder_under_a_file",      "file/quellmar", true,  false, "Cannot create the program folder "},
  {"no_data_no_templates",     "quellmar",      false, false, "No templates in "},
  {"no_data_templates_there",  "quellmar",      false, true,  ""},
};
// clang-format on

TEST(ProgramDirectory, ProblemsNameThePath) {
  for (const auto& row : kProblems) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    dir.write("file", "");
    if (row.data) dir.write("share/quellmar/html/head.html", "head");
    if (row.userTemplates) dir.write(std::string(row.user) + "/html/head.html", "head");
    const auto user = dir.path() / row.user;
    const auto problem = PrepareProgramDirectory(
        ProgramDirectory{user, Kind::PerUser, dir.path() / "share" / "quellmar", ""});
    EXPECT_TRUE(problem.starts_with(row.problem)) << problem;
    if (*row.problem != '\0') {
      EXPECT_NE(problem.find(user.string()), std::string::npos) << problem;
    }
  }
}

#ifndef _WIN32
struct EnvironmentRow {
  const char* xdgDataHome;  // nullptr: unset
  const char* home;
  const char* folder;  // nullptr: none
};
// clang-format off
const EnvironmentRow kEnvironment[] = {
  {"/data",    "/home/a", "/data/quellmar"},
  {nullptr,    "/home/a", "/home/a/.local/share/quellmar"},
  {"relative", "/home/a", "/home/a/.local/share/quellmar"},
  {"",         "/home/a", "/home/a/.local/share/quellmar"},
  {nullptr,    nullptr,   nullptr},
};
// clang-format on

TEST(ProgramDirectory, PerUserFolderFromTheEnvironment) {
  const auto keep = [](const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  const auto put = [](const char* name, const char* value) {
    value ? setenv(name, value, 1) : unsetenv(name);
  };
  const auto xdg = keep("XDG_DATA_HOME");
  const auto home = keep("HOME");
  for (const auto& row : kEnvironment) {
    SCOPED_TRACE(row.folder ? row.folder : "none");
    put("XDG_DATA_HOME", row.xdgDataHome);
    put("HOME", row.home);
    const auto folder = PerUserFolder();
    EXPECT_EQ(folder.has_value(), row.folder != nullptr);
    if (folder && row.folder) {
      EXPECT_EQ(*folder, fs::path(row.folder));
    }
  }
  put("XDG_DATA_HOME", xdg ? xdg->c_str() : nullptr);
  put("HOME", home ? home->c_str() : nullptr);
}
#endif

}  // namespace
}  // namespace quellmar
