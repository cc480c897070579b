// What a main window is told to draw, and when: the start sequence, the memo,
// the selection and the progress between commands and during one, a close
// during a command, the history box's text, the options and the file panel. A recording window
// stands in for both the view and the platform, so their calls come in one order.
#include "window/main_window_controller.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace quellmar {
namespace {

class RecordingWindow : public MainWindowView, public Platform {
 public:
  std::vector<std::string> events;
  std::function<void()> whileChoosing;  // the running command's work

  void showMemo(const std::vector<std::string>& lines) override {
    std::string shown;
    for (const std::string& line : lines) shown += (shown.empty() ? "" : "|") + line;
    events.push_back("memo=" + shown);
  }
  void appendMemoLine(const std::string& line) override { events.push_back("memo+=" + line); }
  void showDiveList(std::size_t count) override {
    events.push_back("dives=" + std::to_string(count));
  }
  void showSelectedDive(int index) override {
    events.push_back("selected=" + std::to_string(index));
  }
  void addHistoryLine(const std::string& line) override { events.push_back("history+=" + line); }
  void showHistoryText(const std::string& text) override {
    events.push_back("historyText=" + text);
  }
  void showOptions(const ShownOptions& options) override {
    events.push_back("options=" + std::to_string(options.note) + std::to_string(options.gif) + " " +
                     options.pixels);
  }
  void showFilePanel(const std::string& shown, const std::string& whole) override {
    events.push_back("filePanel=" + shown + (shown == whole ? "" : " hint=" + whole));
  }
  void showProgress(BarRange bar) override {
    events.push_back("progress=" + std::to_string(bar.position) + "/" +
                     std::to_string(bar.maximum));
  }
  void showProgramFolder(const std::string& text) override { events.push_back("hint=" + text); }
  void repaintNow() override { events.push_back("repaint"); }
  void showAboutDialog() override { events.push_back("about"); }
  void openMenu() override { events.push_back("menu"); }
  void closeWindow() override { events.push_back("close"); }

  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons,
                            const std::string&) override {
    events.push_back(std::string("box=") + MessageTitle(kind) + " " + text);
    return MessageAnswer::Ok;
  }
  void showError(const std::string& text, const std::string&) override {
    events.push_back("error=" + text);
  }
  std::optional<std::filesystem::path> chooseCsvFile(const std::filesystem::path&) override {
    events.push_back("choose");
    if (whileChoosing) whileChoosing();
    return std::nullopt;
  }
  bool openDocument(const std::filesystem::path&, std::string&) override { return true; }
  std::optional<std::filesystem::path> chooseUddfFile(const std::filesystem::path&) override {
    return std::nullopt;
  }
  bool copyToClipboard(const IndexedImage&) override { return true; }
  std::filesystem::path programDirectory() const override { return {}; }
};

struct Fixture {
  RecordingWindow window;
  Session session{window};
  MainWindowController controller{session, window};

  // Runs Open CSV with work done while the file is chosen, inside the command.
  void runCommand(std::function<void()> work) {
    window.whileChoosing = std::move(work);
    controller.openCsv();
  }
  void note(const std::string& event) { window.events.push_back(event); }
  void startWithProblemAndFile() {
    controller.setProgramDirectory({"/q", ProgramDirectory::Kind::PerUser, "/i", "problem"});
    controller.setStartFile(std::filesystem::path("missing") / "logbook.csv");
  }
};

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(250)); }

int Bytes(const std::string& text) { return static_cast<int>(text.size()); }

TEST(MainWindowController, ShowsTheModelWhenMade) {
  RecordingWindow window;
  Session session(window);
  session.window.addHistory("earlier");
  session.window.options = {.note = true, .gif = false, .px = "2\xB5"};
  MainWindowController controller(session, window);
  EXPECT_EQ(window.events, (std::vector<std::string>{"history+=earlier", "historyText=History",
                                                     "options=10 2\u00B5", "memo=", "dives=0",
                                                     "filePanel=No CSV file", "progress=0/100"}));
}

struct Row {
  const char* name;
  std::function<void(Fixture&)> act;
  std::vector<std::string> events;
  bool commandGoesOn = false;  // the events above begin the log; the command's own follow
};

// clang-format off
const Row kRows[] = {
  {"StartShowsTheAboutDialog",
   [](Fixture& f) { f.controller.windowShown(); },
   {"about"}},
  {"StartWarnsOfAFolderProblemAfterTheAboutDialogThenOpensTheFile",
   [](Fixture& f) { f.startWithProblemAndFile(); f.controller.windowShown(); },
   {"hint=Program folder: /q (per-user folder, filled from /i)",
    "memo=Program folder: /q (per-user folder, filled from /i)", "about", "box=Warning problem",
    "memo="}, true},
  {"OwnProgramFolderIsAHintAlone",
   [](Fixture& f) { f.controller.setProgramDirectory({"/p", ProgramDirectory::Kind::Portable, {}, {}}); },
   {"hint=Program folder: /p (the program's own folder)"}},
  {"ShownAgainShowsTheAboutDialogAlone",
   [](Fixture& f) { f.startWithProblemAndFile(); f.controller.windowShown();
                    f.window.events.clear(); f.controller.windowShown(); },
   {"about"}},
  {"MemoFirstLineReplacesNextLinesAppend",
   [](Fixture& f) { f.session.window.addMemoLine("a"); f.session.window.addMemoLine("b");
                    f.session.window.clearMemo(); },
   {"memo=a", "memo+=b", "memo="}},
  {"SelectionBetweenCommandsAtOnce",
   [](Fixture& f) { f.session.window.setDiveList({"x", "y"}); f.session.window.selectDive(1);
                    f.session.window.selectDive(7); },
   {"dives=2", "selected=1", "selected=-1"}},
  {"ProgressBetweenCommandsAtOnce",
   [](Fixture& f) { f.session.window.setProgressMax(10); f.session.window.setProgressPosition(4); },
   {"progress=0/10", "progress=4/10"}},
  {"ProgressAndSelectionDuringAShortCommandAtItsEnd",
   [](Fixture& f) { f.session.window.setDiveList({"x", "y"});
                    f.runCommand([&f] { f.session.window.setProgressMax(10);
                                        f.session.window.setProgressPosition(3);
                                        f.session.window.selectDive(1); f.note("work done"); }); },
   {"dives=2", "choose", "work done", "progress=3/10", "selected=1"}},
  {"ProgressDuringALongCommandAtTheRepaintPace",
   [](Fixture& f) { f.runCommand([&f] { f.session.window.setProgressMax(10); Pause();
                                        f.session.window.setProgressPosition(5);
                                        f.session.window.setProgressPosition(6); }); },
   {"choose", "progress=5/10", "repaint", "progress=6/10"}},
  {"CloseDuringACommandAtItsEnd",
   [](Fixture& f) { f.runCommand([&f] { f.note(f.controller.mayClose() ? "closes" : "waits"); }); },
   {"choose", "waits", "close"}},
  {"CloseBetweenCommandsAtOnce",
   [](Fixture& f) { f.note(f.controller.mayClose() ? "closes" : "waits"); },
   {"closes"}},
  {"CommandDuringACommandIgnored",
   [](Fixture& f) { f.runCommand([&f] { f.controller.openCsv(); }); },
   {"choose"}},
  {"ErrorEndsTheCommandInTheErrorBox",
   [](Fixture& f) { f.runCommand([] { throw std::runtime_error("disk gone"); }); },
   {"choose", "error=disk gone."}},
  {"LeavingTheHistoryShowsHistoryAgain",
   [](Fixture& f) { f.controller.historyTyped("typed"); f.note(f.session.window.historyEdit());
                    f.controller.historyLeft(FocusTo::OtherControl); f.note(f.session.window.historyEdit()); },
   {"typed", "historyText=History", "History"}},
  {"HistoryStaysWhileItsOwnPartsHaveTheFocus",
   [](Fixture& f) { f.controller.historyTyped("typed"); f.controller.historyLeft(FocusTo::ThisBox);
                    f.controller.historyLeft(FocusTo::ItsList);
                    f.controller.historyLeft(FocusTo::OtherProgram); f.note(f.session.window.historyEdit()); },
   {"typed"}},
  {"HistoryRowChosenIsItsLine",
   [](Fixture& f) { f.session.window.addHistory("first"); f.session.window.addHistory("second");
                    f.controller.historyChosen(1); f.note(f.session.window.historyEdit());
                    f.controller.historyChosen(2); f.controller.historyChosen(-1);
                    f.note(f.session.window.historyEdit()); },
   {"history+=first", "history+=second", "second", "second"}},
  {"OptionsKeptAsTheExportReadsThem",
   [](Fixture& f) { f.controller.noteChanged(true); f.controller.gifChanged(true);
                    f.controller.pixelsTyped("3\u00B5"); const ExportOptions& o = f.session.window.options;
                    f.note(std::to_string(o.note) + std::to_string(o.gif) + " " + o.px); },
   {"11 3\xB5"}},
  {"FilePanelLosesTheMiddleOfWhatDoesNotFit",
   [](Fixture& f) { f.session.window.setFilePanel("C:\\Dives\\log.csv");
                    f.controller.filePanelMeasured(24, 1.5, Bytes);
                    f.controller.filePanelMeasured(25, 1.5, Bytes); },
   {"filePanel=C:\\Dives\\log.csv", "filePanel=C:\\Div\u2026og.csv hint=C:\\Dives\\log.csv",
    "filePanel=C:\\Dives\\log.csv"}},
  {"F10OpensTheFirstMenu",
   [](Fixture& f) { f.controller.perform(WindowCommand::OpenMenu); },
   {"menu"}},
};
// clang-format on

class ControllerTest : public ::testing::TestWithParam<Row> {};

TEST_P(ControllerTest, TellsTheWindow) {
  const Row& row = GetParam();
  Fixture f;
  f.window.events.clear();
  row.act(f);
  std::vector<std::string> events = f.window.events;
  if (row.commandGoesOn && events.size() > row.events.size()) events.resize(row.events.size());
  EXPECT_EQ(events, row.events);
}

INSTANTIATE_TEST_SUITE_P(MainWindowController, ControllerTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellmar
