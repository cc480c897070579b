// The main window: menus, tool bar, the HTML options, the information memo,
// the dive list, the history, the status bar and the progress bar, at fixed
// places in a window of fixed size, scaled to its monitor. It draws what its
// MainWindowController tells it and forwards its messages there.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/session.h"
#include "controls.h"
#include "window/main_window_controller.h"

namespace quellmar::win32 {

class AboutDialog;

class MainWindow : private MainWindowView {
 public:
  // Makes the window, hidden, at its monitor's scale; the resources come
  // from instance. Throws when the window or a resource cannot be made.
  MainWindow(Session& session, HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND handle() const { return window_; }
  MainWindowController& controller() { return *controller_; }

  // The about dialog shown at every start and from Help, About; none in
  // tests that do not need it.
  void setAboutDialog(AboutDialog* dialog) { aboutDialog_ = dialog; }
  // Closing the window ends the message loop (the program's main window).
  void quitWhenClosed() { quitWhenClosed_ = true; }

  // The window's own keys: the accelerators and Tab between the controls.
  // True when msg was one of them and is handled.
  bool handleKey(MSG& msg);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(int id, int code);
  void onNotify(NMHDR& header);

  void build();
  void release();
  void buildToolBar();
  void buildControls();
  void buildStatusBar();
  HWND control(ControlRole role) const { return GetDlgItem(window_, ControlId(role)); }
  void addHint(HWND control, const std::string& text);
  void addPanelHint(int panel);
  void setPanelHint(int panel, const std::string& text);
  // Places everything at the scale of dpi.
  void layOut(UINT dpi);
  void layOutToolImages(UINT dpi);
  void layOutToolBar(UINT dpi);
  void layOutStatusBar();

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
  HINSTANCE instance_;
  AboutDialog* aboutDialog_ = nullptr;
  HWND window_ = nullptr;
  HACCEL accelerators_ = nullptr;
  std::unique_ptr<WindowFonts> fonts_;   // at the window's DPI
  std::array<HBITMAP, 4> toolImages_{};  // shared by menus and tool bar
  HIMAGELIST toolImageList_ = nullptr;

  HWND toolBar_ = nullptr;
  HWND infoMemo_ = nullptr;
  HWND diveList_ = nullptr;
  HWND historyBox_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND progressBar_ = nullptr;
  HWND hints_ = nullptr;

  bool quitWhenClosed_ = false;
  std::optional<MainWindowController> controller_;  // made once the controls stand
};

}  // namespace quellmar::win32
