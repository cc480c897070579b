#include "window/main_window_controller.h"

#include <cmath>
#include <utility>

#include "basic/display_text.h"
#include "commands/commands.h"
#include "window/caption_fit.h"

namespace quellmar {

MainWindowController::MainWindowController(Session& session, MainWindowView& view)
    : session_(session), view_(view), runner_(session) {
  session_.window.setListener(this);
  for (const std::string& line : session_.window.history()) view_.addHistoryLine(line);
  view_.showHistoryText(session_.window.historyEdit());
  const ExportOptions& options = session_.window.options;
  view_.showOptions({options.note, options.gif, Utf8FromWindows1252(options.px)});
  memoChanged();
  diveListChanged();
  filePanelChanged();
  progressPending_ = true;
  showPending();
}

MainWindowController::~MainWindowController() { session_.window.setListener(nullptr); }

void MainWindowController::setProgramDirectory(const ProgramDirectory& directory) {
  const std::string text = "Program folder: " + ProgramDirectoryText(directory);
  view_.showProgramFolder(text);
  if (directory.kind == ProgramDirectory::Kind::PerUser) session_.window.addMemoLine(text);
  programFolderProblem_ = directory.problem;
}

void MainWindowController::windowShown() {
  view_.showAboutDialog();
  if (std::exchange(shownBefore_, true)) return;
  if (!programFolderProblem_.empty()) {
    session_.platform.showMessage(MessageKind::Warning, programFolderProblem_, MessageButtons::Ok);
  }
  if (startFile_) {
    const auto file = *std::exchange(startFile_, std::nullopt);
    run([this, &file] { OpenCsvPathCommand(session_, file); });
  }
}

template <typename Command>
void MainWindowController::run(Command command) {
  if (!runner_.running()) pace_.start();
  const CommandRunner::End end = runner_.run(command);
  if (end == CommandRunner::End::Ignored) return;
  showPending();
  if (end == CommandRunner::End::CloseNow) view_.closeWindow();
}

void MainWindowController::perform(WindowCommand command) {
  switch (command) {
    case WindowCommand::OpenCsv:
      return openCsv();
    case WindowCommand::CloseCsv:
      return closeCsv();
    case WindowCommand::ExportHtml:
      return exportHtml();
    case WindowCommand::ViewHtml:
      return viewHtml();
    case WindowCommand::ExportUddf:
      return exportUddf();
    case WindowCommand::ShowAbout:
      return showAbout();
    case WindowCommand::Quit:
      return quit();
    case WindowCommand::OpenMenu:
      return view_.openMenu();
  }
}

void MainWindowController::openCsv() {
  run([this] { OpenCsvCommand(session_); });
}
void MainWindowController::closeCsv() {
  run([this] { CloseCsvCommand(session_); });
}
void MainWindowController::exportHtml() {
  run([this] { ExportHtmlCommand(session_); });
}
void MainWindowController::exportUddf() {
  run([this] { ExportUddfCommand(session_); });
}
void MainWindowController::viewHtml() {
  run([this] { ViewHtmlCommand(session_); });
}
void MainWindowController::showAbout() { view_.showAboutDialog(); }
void MainWindowController::quit() { view_.closeWindow(); }

bool MainWindowController::mayClose() { return runner_.mayClose(); }

void MainWindowController::noteChanged(bool on) { session_.window.options.note = on; }
void MainWindowController::gifChanged(bool on) { session_.window.options.gif = on; }
void MainWindowController::pixelsTyped(const std::string& text) {
  session_.window.options.px = Windows1252FromUtf8(text);
}

void MainWindowController::historyTyped(std::string text) {
  session_.window.setHistoryEdit(std::move(text));
}

void MainWindowController::historyChosen(int row) {
  const auto& lines = session_.window.history();
  if (row >= 0 && static_cast<std::size_t>(row) < lines.size())
    historyTyped(lines[static_cast<std::size_t>(row)]);
}

// Dropping the list down or switching to another program does not leave the box.
void MainWindowController::historyLeft(FocusTo to) {
  if (to != FocusTo::OtherControl) return;
  session_.window.setHistoryEdit(kHistoryText);
  view_.showHistoryText(kHistoryText);
}

void MainWindowController::filePanelMeasured(int width, double scale, TextWidth textWidth) {
  filePanelRoom_ = width - static_cast<int>(std::lround(kPanelTextMargin * scale));
  textWidth_ = std::move(textWidth);
  showFilePanel();
}

// The window model's changes.

void MainWindowController::memoChanged() {
  const auto& lines = session_.window.memo();
  if (memoLinesShown_ > 0 && lines.size() == memoLinesShown_ + 1) {
    view_.appendMemoLine(lines.back());
  } else {
    view_.showMemo(lines);
  }
  memoLinesShown_ = lines.size();
}

void MainWindowController::diveListChanged() {
  view_.showDiveList(session_.window.diveList().size());
  selectionPending_ = false;
}

void MainWindowController::diveSelected(int) {
  selectionPending_ = true;
  followWork();
}

void MainWindowController::historyAdded(const std::string& line) { view_.addHistoryLine(line); }

void MainWindowController::filePanelChanged() { showFilePanel(); }

void MainWindowController::showFilePanel() {
  const std::string& whole = session_.window.filePanel();
  view_.showFilePanel(textWidth_ ? ElideMiddle(whole, filePanelRoom_, textWidth_) : whole, whole);
}

void MainWindowController::progressChanged() {
  progressPending_ = true;
  followWork();
}

// Between commands a change is shown at once; during one at the repaint
// pace, letting the window repaint without taking user input, so that no
// other command starts.
void MainWindowController::followWork() {
  if (!runner_.running()) return showPending();
  if (!pace_.due()) return;
  showPending();
  view_.repaintNow();
}

void MainWindowController::showPending() {
  if (std::exchange(progressPending_, false)) view_.showProgress(ProgressBarRange(session_.window));
  if (std::exchange(selectionPending_, false)) {
    const int index = session_.window.selectedDive();
    const bool listed =
        index >= 0 && static_cast<std::size_t>(index) < session_.window.diveList().size();
    view_.showSelectedDive(listed ? index : -1);
  }
}

}  // namespace quellmar
