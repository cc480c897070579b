// The main window: menus, tool bar, the HTML options, the information memo,
// the dive list, the history, the status bar and the progress bar, at fixed
// places in a window of fixed size. It is a view of the session's window
// model, and its handlers run the program's commands.
#pragma once

#include <QMainWindow>
#include <array>
#include <optional>
#include <string>

#include "commands/command_runner.h"
#include "commands/session.h"
#include "tool_images.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QProgressBar;

namespace quellmar {

class DiveListModel;
class TAboutBox;

class TForm1 : public QMainWindow, public WindowListener {
  Q_OBJECT

 public:
  explicit TForm1(Session& session, QWidget* parent = nullptr);
  ~TForm1() override;

  // The about dialog shown at every start and from Help, About; none in
  // tests that do not need it.
  void setAboutBox(TAboutBox* aboutBox) { aboutBox_ = aboutBox; }

  // An export given on the command line: opened when the window is first
  // shown, once the about dialog is closed.
  void setStartFile(std::string path) { startFile_ = std::move(path); }

  // Brings the progress bar and the dive list's selection up to date; they
  // follow long work at a bounded rate.
  void showPending();

 public slots:
  void TBOpenClick();
  void MFile_quitClick();
  void TBCloseClick();
  void CB_historyExit();
  void MList_htmlClick();
  void MHelp_aboutClick();
  void FormShow();
  void List_viewClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void memoChanged() override;
  void diveListChanged() override;
  void diveSelected(int index) override;
  void historyAdded(const std::string& line) override;
  void filePanelChanged() override;
  void progressChanged() override;

  // Shows the pending changes now when no command runs; during a command, at a
  // bounded rate once it has run a while.
  void followWork();

  void buildMenus();
  void buildToolBar();
  void buildControls();
  void buildStatusBar();
  // Runs one command to its end; no other command starts meanwhile.
  template <typename Command>
  void runCommand(Command command);

  Session& session_;
  TAboutBox* aboutBox_ = nullptr;
  std::optional<std::string> startFile_;
  const std::array<QIcon, 4> imageList1_ = MakeToolImages();  // shared by menus and tool bar

  QPlainTextEdit* memo_ = nullptr;
  std::size_t memoLinesShown_ = 0;
  QListView* diveList_ = nullptr;
  DiveListModel* diveModel_ = nullptr;
  QComboBox* history_ = nullptr;
  QLabel* filePanel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QCheckBox* note_ = nullptr;
  QCheckBox* gif_ = nullptr;
  QLineEdit* px_ = nullptr;

  bool progressPending_ = false;
  bool selectionPending_ = false;
  CommandRunner commands_{session_};
};

}  // namespace quellmar
