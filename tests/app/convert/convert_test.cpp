// Runs the real quellmar-convert and checks its exit status, standard output
// and standard error exactly.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "basic/path_text.h"
#include "import/export_files.h"
#include "support/temp_dir.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using testing::DiveLine;
using testing::JoinLines;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteExport;

#ifdef _WIN32
const fs::path kConvert = fs::path(QUELLMAR_RUN_DIR) / "quellmar-convert.exe";
#else
const fs::path kConvert = fs::path(QUELLMAR_RUN_DIR) / "quellmar-convert";
#endif

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

// A path as the converter takes it on its command line and prints it: UTF-8
// on Windows; elsewhere the name's bytes, which the C locale prints as they
// are.
std::string PathText(const fs::path& path) {
#ifdef _WIN32
  return DisplayPath(path);
#else
  return path.string();
#endif
}

#ifdef _WIN32
// cmd.exe runs the command; no argument here holds a double quote.
std::wstring ShellQuoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The console's lines end in CR LF; every LF must have its CR.
std::string ConsoleLines(std::string text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') ADD_FAILURE() << "a line ends in LF alone: " << text;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines += text[i];
  }
  return lines;
}

// Runs the converter in folder with the arguments (UTF-8), under cmd.exe,
// through the wide API.
Result Convert(const TempDir& scratch, const fs::path& folder, const std::vector<std::string>& args,
               const std::string& env = "", const fs::path& program = kConvert) {
  const auto out = scratch.path() / "stdout.txt";
  const auto err = scratch.path() / "stderr.txt";
  std::wstring command = L"cd /d " + ShellQuoted(folder.native()) + L" && " +
                         PathFromUtf8(env).native() + ShellQuoted(program.native());
  for (const auto& arg : args) command += L" " + ShellQuoted(PathFromUtf8(arg).native());
  command += L" <nul >" + ShellQuoted(out.native()) + L" 2>" + ShellQuoted(err.native());
  Result result;
  result.status = _wsystem(command.c_str());
  result.out = ConsoleLines(ReadFile(out));
  result.err = ConsoleLines(ReadFile(err));
  return result;
}
#else
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Runs the converter in folder with the arguments; env is put in front of
// the command ("PATH=... ").
Result Convert(const TempDir& scratch, const fs::path& folder, const std::vector<std::string>& args,
               const std::string& env = "", const fs::path& program = kConvert) {
  const auto out = scratch.path() / "stdout.txt";
  const auto err = scratch.path() / "stderr.txt";
  std::string command =
      "cd " + ShellQuoted(folder.string()) + " && " + env + " " + ShellQuoted(program.string());
  for (const auto& arg : args) {
    command += ' ';
    command += ShellQuoted(arg);
  }
  command += " </dev/null >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
  const int raw = std::system(command.c_str());
  Result result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}
#endif

class ConvertTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, const std::string& env = "") {
    return Convert(scratch, work.path(), args, env);
  }
  std::string Usage() { return Run({"--help"}).out; }

  TempDir scratch;  // the captured output
  TempDir work;     // the current directory of the run
};

TEST_F(ConvertTest, HelpPrintsTheUsage) {
  const auto result = Run({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(result.out.starts_with("Usage: quellmar-convert [OPTIONS] FILE\n")) << result.out;
  for (const char* option :
       {"--base DIR", "--import-only", "--list", "--clear", "--no-notes", "--no-gif", "--px TEXT",
        "--view", "--threads N", "--quiet", "--help", "--version"}) {
    EXPECT_NE(result.out.find("\n  " + std::string(option) + " "), std::string::npos) << option;
  }
}

TEST_F(ConvertTest, Version) {
  const auto result = Run({"--version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "quellmar-convert 1.2\n");
  EXPECT_EQ(result.err, "");
}

struct UsageRow {
  const char* name;
  std::vector<std::string> args;
  std::string message;
};

// clang-format off
const UsageRow kUsageRows[] = {
    {"no_file",            {},                          "no FILE given"},
    {"options_only",       {"--list", "--quiet"},       "no FILE given"},
    {"two_files",          {"a.csv", "b.csv"},          "one FILE only, not 2"},
    {"unknown_option",     {"--frobnicate", "a.csv"},   "unknown option --frobnicate"},
    {"single_dash_option", {"-l", "a.csv"},             "unknown option -l"},
    {"unknown_with_value", {"--colour=red", "a.csv"},   "unknown option --colour=red"},
    {"base_without_value", {"a.csv", "--base"},         "--base needs a value"},
    {"px_without_value",   {"a.csv", "--px"},           "--px needs a value"},
    {"flag_with_value",    {"--quiet=yes", "a.csv"},    "--quiet takes no value"},
    {"no_threads",         {"--threads=0", "a.csv"},    "--threads takes a whole number from 1 to 256"},
    {"threads_not_whole",  {"--threads", "2x", "a.csv"}, "--threads takes a whole number from 1 to 256"},
#ifndef _WIN32  // cmd.exe runs the command on Windows: no control characters in it
    {"control_in_option",  {"--\x1b]0;x\x07", "a.csv"},  "unknown option --\\x1b]0;x\\x07"},
#endif
    {"empty_file",         {""},                        "FILE is empty"},
    {"empty_after_dashes", {"--", ""},                  "FILE is empty"},
};
// clang-format on

TEST_F(ConvertTest, UsageErrors) {
  const std::string usage = Usage();
  for (const auto& row : kUsageRows) {
    SCOPED_TRACE(row.name);
    const auto result = Run(row.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "quellmar-convert: " + row.message + "\n\n" + usage);
  }
}

TEST_F(ConvertTest, MissingFile) {
  const auto path = (work.path() / "missing.csv").string();
  const auto result = Run({"missing.csv"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Opened CSV file:\n" + path + "\n");
  EXPECT_EQ(result.err, "Logbook Import started.\n" + path +
                            " CSV file access error!\n"
                            "Warning: File access error\n"
                            "  " +
                            path + ": No such file or directory\n");
}

TEST_F(ConvertTest, MissingCompanion) {
  const auto main = WriteExport(work, "export", JoinLines({DiveLine(1, 1)}), "", "");
  fs::remove(work.path() / "export" / "logbook$DGE.CSV");
  const auto result = Run({"--quiet", main.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Opened CSV file:\n" + main.string() + "\n");
  EXPECT_EQ(result.err, "Warning: Secondary CSV file access error\n  " +
                            (work.path() / "export" / "logbook$DGE.CSV").string() +
                            ": No such file or directory\n");
}

fs::path SmallExport(const TempDir& dir) {
  return WriteExport(dir, "export",
                     JoinLines({DiveLine(11, 12, "Dahab", "Canyon", 1800, 18, 20),
                                DiveLine(12, 3, "Safaga, Egypt", "Panorama", 2125, 32, 15)}),
                     JoinLines({"11,\"Strong current\""}),
                     JoinLines({"11,0,0", "11,1,9.5", "11,2,0", "12,0,0", "12,1,3"}));
}

constexpr const char* kImportedMemo =
    "Total dive time: 01:05:25\n"
    "Average dive time: 00:32:42\n"
    "SAC: 17L\n"
    "Maximal depth: 32m\n"
    "2 logged dives.\n";

TEST_F(ConvertTest, ImportOnlyWithList) {
  SmallExport(work);
  const auto path = (work.path() / "export" / "logbook.csv").string();
  const auto result = Run({"--import-only", "--list", "export/logbook.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Opened CSV file:\n" + path + "\n" + kImportedMemo +
                            "3. Safaga, Egypt; Panorama\n"
                            "12. Dahab; Canyon\n");
  EXPECT_EQ(result.err, "Logbook Import started.\n" + path +
                            " CSV file opened.\n"
                            "Logbook Import finished.\n"
                            "Information: CSV file imported.\n\rNext step: HTML Export\n");
}

TEST_F(ConvertTest, QuietLeavesOutTheHistory) {
  SmallExport(work);
  const auto result = Run({"--quiet", "--import-only", "export/logbook.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Opened CSV file:\n" + (work.path() / "export" / "logbook.csv").string() +
                            "\n" + kImportedMemo);
  EXPECT_EQ(result.err, "Information: CSV file imported.\n\rNext step: HTML Export\n");
}

#ifndef _WIN32
TEST_F(ConvertTest, FileIsMadeAbsoluteWithoutResolvingLinks) {
  SmallExport(work);
  fs::create_directory_symlink(work.path() / "export", work.path() / "link");
  const auto result = Run({"--quiet", "--import-only", "--", "./link/../link/logbook.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.out.starts_with("Opened CSV file:\n" + work.path().string() +
                                     "/./link/../link/logbook.csv\n"))
      << result.out;
}
#endif

// The export's windows-1252 texts: as they are, or as UTF-8 for a UTF-8
// locale (on Windows as UTF-8 in a file; a console gets them wide). Control
// characters, in the texts or in a file name, are shown as their codes: a
// terminal would take ESC and BEL as commands, to retitle the window or
// clear the screen, and the unused windows-1252 code 0x81 as a C1 control
// (0x9B is a letter there, U+203A).
TEST_F(ConvertTest, TextsArePrintedForTheLocale) {
  const std::string site = "J\xf6rg\x07\x81\x9b\x7f\t";
#ifdef _WIN32
  const std::string base = "logbook";  // no control character in a Windows name
  const std::pair<const char*, const char*> rows[] = {
      {"", "1. Walensee\\x1b[2J; J\xc3\xb6rg\\x07\\x81\xe2\x80\xba\\x7f\\x09\n"}};
#else
  const std::string base = "log\x1b]0;x\x07";
  const std::pair<const char*, const char*> rows[] = {
      {"LC_ALL=C", "1. Walensee\\x1b[2J; J\xf6rg\\x07\\x81\x9b\\x7f\\x09\n"},
      {"LC_ALL=C.UTF-8", "1. Walensee\\x1b[2J; J\xc3\xb6rg\\x07\\x81\xe2\x80\xba\\x7f\\x09\n"}};
#endif
  const auto main =
      WriteExport(work, "", JoinLines({DiveLine(1, 1, "Walensee\x1b[2J", site)}), "", "", base);
#ifdef _WIN32
  const std::string shownPath = PathText(main);
#else
  const std::string shownPath = (work.path() / "log\\x1b]0;x\\x07.csv").string();
#endif
  for (const auto& [env, line] : rows) {
    SCOPED_TRACE(env);
    const auto result = Run({"--import-only", "--list", PathText(main)}, env);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Opened CSV file:\n" + shownPath +
                              "\n"
                              "Total dive time: 00:30:00\n"
                              "Average dive time: 00:30:00\n"
                              "SAC: 16L\n"
                              "Maximal depth: 18m\n"
                              "1 logged dives.\n" +
                              line);
    EXPECT_EQ(result.err, "Logbook Import started.\n" + shownPath +
                              " CSV file opened.\n"
                              "Logbook Import finished.\n"
                              "Information: CSV file imported.\n\rNext step: HTML Export\n");
  }
}

// The folder of a program directory: the bundled templates and icons.
fs::path ProgramDirectory(const TempDir& dir, const fs::path& name = "base") {
  const auto base = dir.path() / name;
  fs::create_directories(base);
  fs::copy(fs::path(QUELLMAR_RUN_DIR) / "html", base / "html", fs::copy_options::recursive);
  fs::copy(fs::path(QUELLMAR_RUN_DIR) / "pict", base / "pict", fs::copy_options::recursive);
  return base;
}

fs::path BundledExport(const TempDir& dir) {
  fs::copy(fs::path(QUELLMAR_SOURCE_DIR) / "examples", dir.path() / "examples");
  return dir.path() / "examples" / "logbook.csv";
}

TEST_F(ConvertTest, ExportsTheBundledSample) {
  const auto base = ProgramDirectory(work);
  const auto main = BundledExport(work);
  fs::create_directories(base / "Output");
  work.write("base/Output/stale.html", "old");
  const auto result = Run({"--base", "base", "--clear", main.string()});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Opened CSV file:\n" + main.string() +
                            "\n"
                            "Total dive time: 18:20:00\n"
                            "Average dive time: 00:45:50\n"
                            "SAC: 14L\n"
                            "Maximal depth: 38m\n"
                            "24 logged dives.\n" +
                            (work.path() / "base" / "Output" / "logbook.html").string() + "\n");
  EXPECT_EQ(result.err, "Logbook Import started.\n" + main.string() +
                            " CSV file opened.\n"
                            "Logbook Import finished.\n"
                            "Information: CSV file imported.\n\rNext step: HTML Export\n"
                            "HTML write started.\n"
                            "Confirm: Would You like clear the OUTPUT directory ? -> Yes\n"
                            "HTML write finished.\n"
                            "Information: HTML write finished.\n\r"
                            "May I show You the logbook.html ? -> Cancel\n");
  const auto output = base / "Output";
  EXPECT_FALSE(fs::exists(output / "stale.html"));
  const std::string index = ReadFile(output / "logbook.html");
  EXPECT_NE(index.find("Careless Reef"), std::string::npos);
  EXPECT_NE(index.find("Modra spilja"), std::string::npos);
  for (int dive = 1; dive <= 24; ++dive) {
    const auto gif = (output / "d").concat(std::to_string(dive)).concat(".gif");
    ASSERT_TRUE(fs::exists(gif)) << gif;
    EXPECT_EQ(ReadFile(gif).substr(0, 3), "GIF");
  }
  EXPECT_TRUE(fs::exists(output / "d7.html"));
}

TEST_F(ConvertTest, OptionsReachTheExport) {
  const auto base = ProgramDirectory(work);
  const auto main = BundledExport(work);
  const auto result = Run({"--quiet", "--no-notes", "--no-gif", "--base=base", main.string()});
  EXPECT_EQ(result.status, 0);
  // The bundled templates write a page for every dive whatever the options;
  // without notes and pictures the pages hold neither.
  int pages = 0;
  for (const auto& entry : fs::directory_iterator(base / "Output")) {
    EXPECT_EQ(entry.path().extension(), ".html") << entry.path();
    const std::string page = ReadFile(entry.path());
    EXPECT_EQ(page.find("Napoleon wrasse"), std::string::npos) << entry.path();
    pages += entry.path().filename().string().starts_with("d");
  }
  EXPECT_EQ(pages, 24);
}

TEST_F(ConvertTest, ExportEndedByAnErrorExitsWithThree) {
  // clang-format off
  const struct { const char* name; const char* error; const char* before; } rows[] = {
      // A directory where the first picture is to go: the file cannot be made.
      {"folder_in_the_way",  "Cannot create file ", ""},
#ifndef _WIN32
      // A limit on file sizes fails a write as a full disk does, and does not
      // end the converter by its signal.
      {"file_size_limited",  "Cannot write file ",  "ulimit -f 2 &&"},
#endif
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir folder;
    const auto base = ProgramDirectory(folder);
    const auto main = BundledExport(folder);
    if (row.before[0] == '\0') fs::create_directories(base / "Output" / "d1.gif");
    const auto result = Convert(scratch, folder.path(),
                                {"--quiet", "--base", base.string(), main.string()}, row.before);
    EXPECT_EQ(result.status, 3);
    // The file, then the file and the system's reason, in the system's words.
    const std::string error = "Error: " + std::string(row.error);
    const auto at = result.err.find(error);
    ASSERT_NE(at, std::string::npos) << result.err;
    EXPECT_NE(result.err.find(".\n  ", at), std::string::npos) << result.err;
  }
}

TEST_F(ConvertTest, RefusedExportExitsWithThree) {
  const auto base = ProgramDirectory(work);
  const auto main = BundledExport(work);
  fs::remove(base / "html" / "note.html");
  const auto missing = Run({"--quiet", "--base", base.string(), main.string()});
  EXPECT_EQ(missing.status, 3);
  EXPECT_TRUE(missing.err.ends_with("Warning: HTML sources open error. File(s) not found.\n"))
      << missing.err;
  EXPECT_FALSE(fs::exists(base / "Output"));
}

// Pictures too wide for a GIF file are left out, the export goes on to its
// end and the exit status tells so.
TEST_F(ConvertTest, PicturesLeftOutExitWithFour) {
  const auto base = ProgramDirectory(work);
  const auto main = BundledExport(work);
  const auto result = Run({"--quiet", "--px", "100000", "--base", base.string(), main.string()});
  EXPECT_EQ(result.status, 4);
  EXPECT_NE(result.err.find("Warning: HTML write finished, but 24 dives' profile pictures could "
                            "not be made and were left out."),
            std::string::npos)
      << result.err;
  EXPECT_TRUE(fs::is_regular_file(base / "Output" / "logbook.html"));
}

// Names with blanks where the program, the export and its main file lie: in
// 8 bits (Windows-1252: ü, €, Š), beyond the ANSI code page on Windows
// (Polish, Greek), and a path of more than 300 characters. The program finds
// its folder by itself.
struct NameRow {
  const char* name;
  fs::path programFolder;
  fs::path exportFolder;
  fs::path file;
};

const fs::path kLongFolder =
    fs::path(std::string(100, 'a')) / std::string(100, 'b') / std::string(100, 'c');

// clang-format off
const NameRow kNameRows[] = {
    {"program_folder",     PathFromText("Tauchbuch M\xfc" "ller \x80\x8a"), "export",                        "logbook"},
    {"export_folder",      "program",                                      PathFromText("Tauchg\xe4nge \x80 \x8a"), "logbook"},
    {"file_name",          "program",                                      "export",                        PathFromText("Logbuch M\xfcller \x80\x8a")},
    {"long_export_folder", "program",                                      kLongFolder,                     "logbook"},
#ifdef _WIN32
    {"polish_folders",     PathFromUtf8("\u0141\u00F3d\u017A"),            PathFromUtf8("\u0141\u00F3d\u017A 2024"), "logbook"},
    {"greek_file_name",    "program",                                      "export",                        PathFromUtf8("\u039A\u03B1\u03C4\u03B1\u03B4\u03CD\u03C3\u03B5\u03B9\u03C2")},
#endif
};
// clang-format on

// The four files of a one-dive export named file + ".csv" in folder.
fs::path OneDiveExport(const fs::path& folder, const fs::path& file) {
  fs::create_directories(folder);
  const std::pair<const char*, std::string> files[] = {
      {".csv", JoinLines({DiveLine(1, 7)})},
      {"$DGE.CSV", ""},
      {"$NOT.CSV", JoinLines({"1,\"note\""})},
      {"$PRO.CSV", JoinLines({"1,0,0", "1,1,9.5"})}};
  for (const auto& [suffix, bytes] : files) {
    std::ofstream(fs::path(folder / file) += suffix, std::ios::binary) << bytes;
  }
  return fs::path(folder / file) += ".csv";
}

TEST_F(ConvertTest, NamesOfAnyLettersInEveryPlace) {
  for (const auto& row : kNameRows) {
    SCOPED_TRACE(row.name);
    TempDir place;
    const auto program = ProgramDirectory(place, row.programFolder) / kConvert.filename();
    fs::copy_file(kConvert, program);
    const auto main = OneDiveExport(place.path() / row.exportFolder, row.file);
    const auto result = Convert(scratch, place.path(), {"--clear", PathText(main)}, "", program);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("Opened CSV file:\n" + PathText(main) + "\n"));
    // The logbook's whole path, as it is.
    const auto logbook = program.parent_path() / "Output" / "logbook.html";
    EXPECT_TRUE(result.out.ends_with(PathText(logbook) + "\n")) << result.out;
    for (const char* name : {"logbook.html", "d7.html", "d7.gif"}) {
      EXPECT_TRUE(fs::exists(program.parent_path() / "Output" / name)) << name;
    }
  }
}

#ifndef _WIN32
TEST_F(ConvertTest, ViewHandsTheLogbookToTheDesktop) {
  const auto base = ProgramDirectory(work);
  const auto main = BundledExport(work);
  // A stand-in for xdg-open that notes what it was given.
  const auto opened = work.path() / "opened.txt";
  const auto bin = work.path() / "bin";
  fs::create_directories(bin);
  const auto fake =
      work.write("bin/xdg-open", "#!/bin/sh\necho \"$1\" > " + ShellQuoted(opened.string()) +
                                     ".part && mv " + ShellQuoted(opened.string()) + ".part " +
                                     ShellQuoted(opened.string()) + "\n");
  fs::permissions(fake, fs::perms::owner_all);
  const auto result = Run({"--quiet", "--view", "--base", base.string(), main.string()},
                          "PATH=" + ShellQuoted(bin.string() + ":/usr/bin:/bin"));
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.err.ends_with("May I show You the logbook.html ? -> OK\n")) << result.err;
  // The converter does not wait for the browser; give the stand-in time to run.
  for (int i = 0; i < 200 && !fs::exists(opened); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(ReadFile(opened), (base / "Output" / "logbook.html").string() + "\n");
}
#endif

}  // namespace
}  // namespace quellmar
