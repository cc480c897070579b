// What every main window does, decided once: the commands behind its menus,
// tool buttons and keys, the start sequence, and what to draw when. A window
// implements MainWindowView (it only draws) and forwards its events to a
// MainWindowController (which decides). The controller runs one command at a
// time through a CommandRunner, follows the session's WindowModel, and
// brings the window up to date at once between commands and at the
// RepaintPace during one.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_runner.h"
#include "commands/program_directory.h"
#include "commands/session.h"
#include "window/repaint_pace.h"
#include "window/window_layout.h"

namespace quellmar {

// The HTML options as the window shows them; the pixels text is UTF-8.
struct ShownOptions {
  bool note = false;
  bool gif = false;
  std::string pixels;
};

// Where the focus went when the history box lost it.
enum class FocusTo {
  ThisBox,       // a part of the box itself, such as its edit field
  ItsList,       // the box's list, dropped down
  OtherProgram,  // the user switched to another program
  OtherControl,  // another control of the window
};

// The width a text (UTF-8) takes in a window's font, in its own pixels.
using TextWidth = std::function<int(const std::string&)>;

// What a main window draws. Texts are UTF-8.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  virtual void showMemo(const std::vector<std::string>& lines) = 0;  // replaces every line
  virtual void appendMemoLine(const std::string& line) = 0;          // below a line already shown
  virtual void showDiveList(std::size_t count) = 0;  // replaced; lines from the window model
  virtual void showSelectedDive(int index) = 0;      // -1: none
  virtual void addHistoryLine(const std::string& line) = 0;   // the closed box's text stays
  virtual void showHistoryText(const std::string& text) = 0;  // what the closed box shows
  virtual void showOptions(const ShownOptions& options) = 0;
  // What fits the panel, and the whole text as its hint.
  virtual void showFilePanel(const std::string& shown, const std::string& whole) = 0;
  virtual void showProgress(BarRange bar) = 0;
  // The program folder in use, as a hint where the window has room for one.
  virtual void showProgramFolder(const std::string& text) = 0;
  // During a long command: repaint what changed, without taking user input.
  virtual void repaintNow() = 0;
  virtual void showAboutDialog() = 0;  // modal
  virtual void openMenu() = 0;         // the first menu, for the arrow keys to go on from
  virtual void closeWindow() = 0;
};

class MainWindowController : private WindowListener {
 public:
  // Shows the session's model as it is now, and follows it from then on.
  MainWindowController(Session& session, MainWindowView& view);
  ~MainWindowController() override;
  MainWindowController(const MainWindowController&) = delete;
  MainWindowController& operator=(const MainWindowController&) = delete;

  // Where the window stands at start, told before it is first shown. A
  // program folder other than the program's own (a per-user folder) is named
  // in the memo too, where it is seen without looking for it.
  void setProgramDirectory(const ProgramDirectory& directory);
  void setStartFile(std::filesystem::path file) { startFile_ = std::move(file); }

  // The window is on screen for the first time: the about dialog, then a
  // problem with the program folder, then the export named at start.
  void windowShown();

  // The menu items, tool buttons and keys.
  void perform(WindowCommand command);
  void openCsv();
  void closeCsv();
  void exportHtml();
  void viewHtml();
  void exportUddf();
  void showAbout();
  void quit();

  // The window system asks to close the window: true when it may close now.
  // During a command the close is put off to its end.
  bool mayClose();

  // The user changed an HTML option; the export reads them whenever a tag
  // needs them. The pixels text is UTF-8, as typed.
  void noteChanged(bool on);
  void gifChanged(bool on);
  void pixelsTyped(const std::string& text);

  // The user typed in the history box, or picked the line in that row of its
  // list (the history's lines, in their order).
  void historyTyped(std::string text);
  void historyChosen(int row);
  // The history box lost the focus: it shows "History" again once the user
  // has gone on to another control.
  void historyLeft(FocusTo to);

  // The file panel's width and how the window measures a text, in its own
  // pixels, and how many of them make a pixel of the layout (1.5 at 150 %):
  // a path longer than the panel then loses its middle.
  void filePanelMeasured(int width, double scale, TextWidth textWidth);

  // Brings the window up to date now (before a modal box covers it).
  void showPending();

 private:
  template <typename Command>
  void run(Command command);

  void memoChanged() override;
  void diveListChanged() override;
  void diveSelected(int index) override;
  void historyAdded(const std::string& line) override;
  void filePanelChanged() override;
  void progressChanged() override;
  void followWork();
  void showFilePanel();

  Session& session_;
  MainWindowView& view_;
  CommandRunner runner_;
  RepaintPace pace_;
  int filePanelRoom_ = 0;
  TextWidth textWidth_;  // none until the window measured its panel
  std::size_t memoLinesShown_ = 0;
  bool progressPending_ = false;
  bool selectionPending_ = false;
  bool shownBefore_ = false;
  std::string programFolderProblem_;
  std::optional<std::filesystem::path> startFile_;
};

}  // namespace quellmar
