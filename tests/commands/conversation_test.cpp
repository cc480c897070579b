// The commands' conversation with the user, for every request a window or
// the command line makes: the memo, the history, the file panel, the message
// boxes with their answers, the error box, the documents opened and the
// clipboard, as one transcript in the order they happen.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "basic/os_file.h"
#include "basic/path_text.h"
#include "commands/commands.h"
#include "import/export_files.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using testing::DiveLine;
using testing::JoinLines;
using Lines = std::vector<std::string>;

// A program folder with templates, an export beside it, and a session whose
// every change joins the platform's transcript.
class Scene : public WindowListener {
 public:
  Scene() {
    dir.write("program/html/head.html", "<h1>@totaldivetime@</h1>\r\n");
    dir.write("program/html/lines.html", "<p>@diveno@ @profile_gif@</p>\r\n");
    dir.write("program/html/foot.html", "</body>\r\n");
    dir.write("program/html/note.html", "@note@\r\n");
    session.window.setListener(this);
  }
  ~Scene() override { session.window.setListener(nullptr); }

  // An export of dives numbered 1 to count, each with a small profile; from
  // the dive numbered sameFrom on, all have that number.
  fs::path exportOf(int count, const std::string& base = "log", int sameFrom = 0) {
    Lines dives;
    Lines profile;
    for (int i = 1; i <= count; ++i) {
      dives.push_back(DiveLine(i, sameFrom > 0 ? std::min(i, sameFrom) : i, "Dahab", "Canyon"));
      for (const char* depth : {"0", "5.5", "9", "0.0"}) {
        profile.push_back(std::to_string(i) + ",0," + depth);
      }
    }
    return testing::WriteExport(dir, "export", JoinLines(dives), "", JoinLines(profile), base);
  }
  bool open(const fs::path& file) {
    platform.nextChoice = file;
    return OpenCsvCommand(session);
  }
  fs::path program() const { return dir.path() / "program"; }
  fs::path output() const { return program() / "Output"; }

  // Paths in a row's transcript: {export} the export's folder, {output} the
  // program directory's Output folder; the system's reasons for a folder
  // opened as a file ({directory}) and for a file in a folder that is not
  // there ({no folder}).
  std::string placed(std::string line) const {
    for (const auto& [mark, path] :
         {std::pair{"{export}", dir.path() / "export"}, std::pair{"{output}", output()}}) {
      for (auto at = line.find(mark); at != std::string::npos; at = line.find(mark)) {
        line.replace(at, std::string(mark).size(), DisplayPath(path));
      }
    }
#ifdef _WIN32
    const std::pair<std::string_view, std::string_view> reasons[] = {
        {"{directory}", "Access denied"},
        { "{no folder}",
          "Path not found" }};
#else
    const std::pair<std::string_view, std::string_view> reasons[] = {
        {"{directory}", "Is a directory"}, {"{no folder}", "No such file or directory"}};
#endif
    for (const auto& [mark, reason] : reasons) {
      if (const auto at = line.find(mark); at != std::string::npos) {
        line.replace(at, mark.size(), reason);
      }
    }
    return line;
  }

  testing::TempDir dir;
  testing::TestPlatform platform{dir.path() / "program"};
  Session session{platform};

 private:
  std::vector<std::string>& said() { return platform.transcript; }
  void memoChanged() override {
    const auto& memo = session.window.memo();
    said().push_back(memo.empty() ? "Memo cleared" : "Memo: " + memo.back());
  }
  void diveListChanged() override {
    std::string line = "List:";
    for (const auto& dive : session.window.diveList()) line += " [" + dive + "]";
    said().push_back(line);
  }
  void historyAdded(const std::string& line) override { said().push_back("History: " + line); }
  void filePanelChanged() override { said().push_back("Panel: " + session.window.filePanel()); }
};

struct ConversationRow {
  const char* name;
  std::function<void(Scene&)> before;   // not part of the transcript
  std::function<void(Scene&)> request;  // what the user asks for
  Lines transcript;
};

const Lines kOpenedTwoDives = {
    "Memo cleared",
    "Memo: Opened CSV file:",
    "Memo: {export}/log.csv",
    "History: Logbook Import started.",
    "Panel: {export}/log.csv",
    "History: {export}/log.csv CSV file opened.",
    "Memo: Total dive time: 01:00:00",
    "Memo: Average dive time: 00:30:00",
    "Memo: SAC: 16L",
    "Memo: Maximal depth: 18m",
    "List: [1. Dahab; Canyon] [2. Dahab; Canyon]",
    "History: Logbook Import finished.",
    "Memo: 2 logged dives.",
    "Information: CSV file imported.\n\rNext step: HTML Export",
};

Lines Joined(std::initializer_list<Lines> parts) {
  Lines all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

void OpenTwoDives(Scene& scene) { scene.open(scene.exportOf(2)); }
void Nothing(Scene&) {}
void Export(Scene& scene) { ExportHtmlCommand(scene.session); }

const Lines kExportStarts = {
    "History: HTML write started.",
    "Confirm: Would You like clear the OUTPUT directory ? -> No",
};
const Lines kExportFinishes = {
    "Clipboard: 4 x 120",
    "History: HTML write finished.",
    "Information: HTML write finished.\n\rMay I show You the logbook.html ? -> Cancel",
    "  {output}/logbook.html",
};

const ConversationRow kRows[] = {
    {"open", Nothing, OpenTwoDives, kOpenedTwoDives},
    {"open_cancelled",
     Nothing,
     [](Scene& s) { s.platform.nextChoice.reset(), OpenCsvCommand(s.session); },
     {}},
    {"open_without_a_main_file",
     Nothing,
     [](Scene& s) { s.open(s.dir.path() / "export" / "none.csv"); },
     {"Memo cleared", "Memo: Opened CSV file:", "Memo: {export}/none.csv",
      "History: Logbook Import started.", "History: {export}/none.csv CSV file access error!",
      "Warning: File access error", "  {export}/none.csv: No such file or directory"}},
    {"open_without_a_companion",
     [](Scene& s) { OpenTwoDives(s), s.platform.transcript.clear(); },
     [](Scene& s) {
       const auto main = s.exportOf(1, "other");
       fs::remove(s.dir.path() / "export" / "other$PRO.CSV");
       s.open(main);
     },
     {"Memo cleared", "Memo: Opened CSV file:", "Memo: {export}/other.csv",
      "History: Logbook Import started.",
      "History: {export}/other.csv Secondary CSV file access error!",
      "Warning: Secondary CSV file access error",
      "  {export}/other$PRO.CSV: No such file or directory"}},
    {"open_over_a_loaded_logbook",
     [](Scene& s) { OpenTwoDives(s), s.platform.transcript.clear(); },
     [](Scene& s) { s.open(s.exportOf(1, "other")); },
     {"Memo cleared", "Memo: Opened CSV file:", "Memo: {export}/other.csv",
      "History: Logbook Import started.", "Panel: No CSV file", "History: CSV file Closed",
      "Memo cleared", "List:", "Panel: {export}/other.csv",
      "History: {export}/other.csv CSV file opened.", "Memo: Total dive time: 00:30:00",
      "Memo: Average dive time: 00:30:00", "Memo: SAC: 16L", "Memo: Maximal depth: 18m",
      "List: [1. Dahab; Canyon]", "History: Logbook Import finished.", "Memo: 1 logged dives.",
      "Information: CSV file imported.\n\rNext step: HTML Export"}},
    {"open_with_notes_that_cannot_be_read",
     Nothing,
     [](Scene& s) {
       const auto main = s.exportOf(1);
       fs::remove(s.dir.path() / "export" / "log$NOT.CSV");
       fs::create_directory(s.dir.path() / "export" / "log$NOT.CSV");
       s.open(main);
       s.platform.transcript.resize(6);
     },
     {"Memo cleared", "Memo: Opened CSV file:", "Memo: {export}/log.csv",
      "History: Logbook Import started.", "Warning: NOTE File access error",
      "  {export}/log$NOT.CSV: {directory}"}},
    {"open_a_main_file_that_cannot_be_read",
     [](Scene& s) { OpenTwoDives(s), s.platform.transcript.clear(); },
     [](Scene& s) {
       const auto main = s.exportOf(1, "other");
       fs::remove(main);
       fs::create_directory(main);
       s.open(main);
     },
     {"Memo cleared", "Memo: Opened CSV file:", "Memo: {export}/other.csv",
      "History: Logbook Import started.", "Panel: No CSV file", "History: CSV file Closed",
      "Memo cleared", "List:", "Warning: File access error", "  {export}/other.csv: {directory}",
      "History: {export}/other.csv CSV file access error!"}},
    {"open_with_line_feeds",
     Nothing,
     [](Scene& s) {
       s.dir.write("export/lf.csv", DiveLine(1, 1) + "\n" + DiveLine(2, 2) + "\n");
       for (const char* suffix : {"$DGE.CSV", "$NOT.CSV", "$PRO.CSV"}) {
         s.dir.write(std::string("export/lf") + suffix, "\r\n");
       }
       s.open(s.dir.path() / "export" / "lf.csv");
       s.platform.transcript.resize(7);
     },
     {"Memo cleared", "Memo: Opened CSV file:", "Memo: {export}/lf.csv",
      "History: Logbook Import started.", "Panel: {export}/lf.csv",
      "History: {export}/lf.csv CSV file opened.",
      "History: {export}/lf.csv read with line feeds as line ends."}},
    {"open_cut_short_by_a_ctrl_z",
     Nothing,
     [](Scene& s) {
       const auto main = JoinLines({DiveLine(1, 1), DiveLine(2, 2)}) + "\x1ajunk";
       s.open(testing::WriteExport(s.dir, "export", main, "", "", "cut"));
       s.platform.transcript.resize(7);
     },
     {"Memo cleared", "Memo: Opened CSV file:", "Memo: {export}/cut.csv",
      "History: Logbook Import started.", "Panel: {export}/cut.csv",
      "History: {export}/cut.csv CSV file opened.",
      "History: {export}/cut.csv read up to a Ctrl-Z byte in line 3; the 4 bytes after it were "
      "left unread."}},
    {"close",
     [](Scene& s) { OpenTwoDives(s), s.platform.transcript.clear(); },
     [](Scene& s) { CloseCsvCommand(s.session), CloseCsvCommand(s.session); },
     {"Panel: No CSV file", "History: CSV file Closed", "Memo cleared", "List:"}},
    {"export_without_a_logbook",
     Nothing,
     Export,
     // No file chosen yet: the line begins with the blank of its text.
     {"Warning: Not opened CSV file", "History:  html conver request without CSV file"}},
    {"export_after_close",
     [](Scene& s) { OpenTwoDives(s), CloseCsvCommand(s.session); },
     [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     {"Warning: Not opened CSV file",
      "History: {export}/log.csv html conver request without CSV file"}},
    {"export", OpenTwoDives, [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     Joined({kExportStarts, kExportFinishes})},
    {"export_then_view",
     [](Scene& s) {
       OpenTwoDives(s), s.platform.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
     },
     [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     {"History: HTML write started.", "Confirm: Would You like clear the OUTPUT directory ? -> Yes",
      "Clipboard: 4 x 120", "History: HTML write finished.",
      "Information: HTML write finished.\n\rMay I show You the logbook.html ? -> OK",
      "  {output}/logbook.html", "Open: {output}/logbook.html"}},
    {"export_with_shared_numbers", [](Scene& s) { s.open(s.exportOf(5, "log", 3)); },
     [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     Joined({kExportStarts,
             {"Clipboard: 4 x 120",
              "History: Dive 3: 3 dives have this number and share its page d3.html.",
              "History: HTML write finished.",
              "Information: HTML write finished.\n\rMay I show You the logbook.html ? -> Cancel",
              "  {output}/logbook.html"}})},
    {"export_without_a_template",
     [](Scene& s) { OpenTwoDives(s), fs::remove(s.program() / "html" / "foot.html"); },
     [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     {"History: HTML write started.", "History: HTML sources open error. File(s) not found.",
      "Warning: HTML sources open error. File(s) not found."}},
    {"export_with_no_pixels",
     [](Scene& s) { OpenTwoDives(s), s.session.window.options.px = "0"; },
     [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     {"History: HTML write started.",
      "History: Pixel / profile entry must be a whole number of 1 or more.",
      "Warning: Pixel / profile entry must be a whole number of 1 or more."}},
    {"export_leaving_a_picture_out",
     [](Scene& s) {
       s.dir.write("export/deep.csv", DiveLine({{1, "1"}, {2, "7"}, {9, "30000"}}) + "\r\n");
       s.dir.write("export/deep$DGE.CSV", "");
       s.dir.write("export/deep$NOT.CSV", "");
       s.dir.write("export/deep$PRO.CSV", "1,0,0\r\n1,1,30000\r\n");
       s.open(s.dir.path() / "export" / "deep.csv");
     },
     [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     Joined({kExportStarts,
             {"History: Dive 7: a profile picture of 2 x 90030 pixels is larger than a GIF file "
              "can hold; the picture is left out.",
              "History: HTML write finished.",
              "Warning: HTML write finished, but 1 dive's profile picture could not be made and "
              "was left out. The history names them.",
              "Information: HTML write finished.\n\rMay I show You the logbook.html ? -> Cancel",
              "  {output}/logbook.html"}})},
    {"export_into_an_output_that_is_a_file",
     [](Scene& s) { OpenTwoDives(s), s.dir.write("program/Output", "a file"); },
     [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     {"History: HTML write started.", "Error: Cannot create file {output}/logbook.html.",
      "  {output}: Not a directory"}},
    {"export_while_another_runs",
     OpenTwoDives,
     [](Scene& s) {
       fs::create_directory(s.output());
       SystemFileCalls calls;
       const ExclusiveLock other(calls, s.output());
       s.platform.transcript.clear();
       Export(s);
     },
     {"History: HTML write started.",
      "History: Another HTML export is writing into this Output folder. Try again when it has "
      "finished.",
      "Warning: Another HTML export is writing into this Output folder. Try again when it has "
      "finished.",
      "  {output}"}},
    {"export_with_a_refusing_clipboard",
     [](Scene& s) { OpenTwoDives(s), s.platform.clipboardWorks = false; },
     [](Scene& s) { s.platform.transcript.clear(), Export(s); },
     Joined({kExportStarts, {"Error: Cannot open clipboard."}})},
    {"export_uddf_without_a_logbook",
     Nothing,
     [](Scene& s) { ExportUddfCommand(s.session); },
     {"Warning: Not opened CSV file", "History:  UDDF export request without CSV file"}},
    {"export_uddf_cancelled",
     OpenTwoDives,
     [](Scene& s) { s.platform.transcript.clear(), ExportUddfCommand(s.session); },
     {}},
    {"export_uddf",
     [](Scene& s) {
       OpenTwoDives(s);
       s.platform.nextUddfChoice = s.dir.path() / "export" / "log.uddf";
     },
     [](Scene& s) { s.platform.transcript.clear(), ExportUddfCommand(s.session); },
     {"History: UDDF write started.", "History: Dates read day first, as the logbook's dates show.",
      "History: Dive 1 of 14/07/2002 10:38: its 4 profile samples spread over its dive time of "
      "30:00 in the UDDF file, as the export gives no sample interval.",
      "History: Dive 2 of 14/07/2002 10:38: its 4 profile samples spread over its dive time of "
      "30:00 in the UDDF file, as the export gives no sample interval.",
      "History: UDDF write finished: 2 dives.", "Information: UDDF write finished.",
      "  {export}/log.uddf"}},
    {"export_uddf_into_a_missing_folder",
     [](Scene& s) {
       OpenTwoDives(s);
       s.platform.nextUddfChoice = s.dir.path() / "export" / "gone" / "log.uddf";
     },
     [](Scene& s) { s.platform.transcript.clear(), ExportUddfCommand(s.session); },
     {"History: UDDF write started.", "Error: Cannot create file {export}/gone/log.uddf.",
      "  {export}/gone/log.uddf: {no folder}"}},
    {"view_refused",
     [](Scene& s) { s.platform.openFails = "no browser"; },
     [](Scene& s) { ViewHtmlCommand(s.session); },
     {"Open: {output}/logbook.html", "Error: The document cannot be opened.",
      "  {output}/logbook.html: no browser"}},
    {"view",
     Nothing,
     [](Scene& s) { ViewHtmlCommand(s.session); },
     {"Open: {output}/logbook.html"}},
};

// The file dialog opens in the sample's folder the first time, where a new
// user looks for it, and then in the folder of the last choice.
TEST(Conversation, FileDialogOpensInTheSampleFolderFirst) {
  Scene scene;
  fs::create_directories(scene.program() / "examples");
  const auto main = scene.exportOf(1);
  scene.open(main);
  scene.open(main);
  EXPECT_EQ(scene.platform.dialogFolders,
            (std::vector<fs::path>{scene.program() / "examples", main.parent_path()}));
}

// The lines with one separator: Windows shows a path as it was put together,
// with either.
Lines Slashed(Lines lines) {
#ifdef _WIN32
  for (auto& line : lines) std::replace(line.begin(), line.end(), '\\', '/');
#endif
  return lines;
}

TEST(Conversation, EveryRequest) {
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    Scene scene;
    row.before(scene);
    scene.platform.transcript.clear();
    row.request(scene);
    Lines expected;
    for (const auto& line : row.transcript) expected.push_back(scene.placed(line));
    EXPECT_EQ(Slashed(scene.platform.transcript), Slashed(expected));
  }
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
    {"Gr\xc3\xb6\xc3\x9f" "e", "Gr\xc3\xb6\xc3\x9f" "e."},
    {"",                      ""},
};
// clang-format on

TEST(ErrorBoxText, FullStopAfterCharactersBeyondTheDot) {
  for (const auto& row : kErrorTextRows)
    EXPECT_EQ(ErrorBoxText(row.message), row.shown) << row.message;
}

}  // namespace
}  // namespace quellmar
