// The main window: menus, tool bar, the HTML options, the information memo,
// the dive list, the history, the status bar and the progress bar, at fixed
// places in a window of fixed size. It draws what its MainWindowController
// tells it and forwards its events there.
#pragma once

#include <QMainWindow>
#include <optional>
#include <string>
#include <vector>

#include "commands/session.h"
#include "window/main_window_controller.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QProgressBar;
class QStatusBar;

namespace quellmar {

class AboutDialog;
class DiveListModel;

class MainWindow : public QMainWindow, private MainWindowView {
  Q_OBJECT

 public:
  explicit MainWindow(Session& session, QWidget* parent = nullptr);

  MainWindowController& controller() { return *controller_; }

  // The about dialog shown at every start and from Help, About; none in
  // tests that do not need it.
  void setAboutDialog(AboutDialog* dialog) { aboutDialog_ = dialog; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  void buildToolBar();
  void buildControls();
  void buildStatusBar();

  void showMemo(const std::vector<std::string>& lines) override;
  void appendMemoLine(const std::string& line) override;
  void showDiveList(std::size_t count) override;
  void showSelectedDive(int index) override;
  void addHistoryLine(const std::string& line) override;
  void showHistoryText(const std::string& text) override;
  void showOptions(const ShownOptions& options) override;
  void showFilePanel(const std::string& shown, const std::string& whole) override;
  void showProgress(BarRange bar) override;
  void showProgramFolder(const std::string& text) override;
  void repaintNow() override;
  void showAboutDialog() override;
  void openMenu() override;
  void closeWindow() override;

  Session& session_;
  AboutDialog* aboutDialog_ = nullptr;

  QPlainTextEdit* infoMemo_ = nullptr;
  QListView* diveList_ = nullptr;
  DiveListModel* diveListModel_ = nullptr;
  QComboBox* historyBox_ = nullptr;
  QCheckBox* noteBox_ = nullptr;
  QCheckBox* gifBox_ = nullptr;
  QLineEdit* pixelsEdit_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QLabel* filePanel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;

  std::optional<MainWindowController> controller_;  // made once the controls stand
};

}  // namespace quellmar
