// The main window: menus, tool bar, the HTML options, the information memo,
// the dive list, the history, the status bar and the progress bar, at fixed
// places in a window of fixed size. It is a view of the session's window
// model, and its handlers run the program's commands.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "commands/command_runner.h"
#include "commands/session.h"

namespace quellmar::win32 {

class TAboutBox;

class TForm1 : public WindowListener {
 public:
  // Makes the window, hidden; the resources come from instance.
  TForm1(Session& session, HINSTANCE instance);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  HWND handle() const { return window_; }

  // The about dialog shown at every start and from Help, About; none in
  // tests that do not need it.
  void setAboutBox(TAboutBox* aboutBox) { aboutBox_ = aboutBox; }
  // Closing the window ends the message loop (the program's main window).
  void quitWhenClosed() { quitWhenClosed_ = true; }
  // The export named on the command line, opened once the about dialog of the
  // start has been closed.
  void setStartFile(std::string path) { startFile_ = std::move(path); }
  // A warning shown once the about dialog of the start has been closed.
  void warnAtStart(std::string text) { startWarning_ = std::move(text); }
  // The program folder in use, the status bar's hint.
  void showProgramFolder(const std::string& text);

  // The window's own keys: the accelerators and Tab between the controls.
  // True when msg was one of them and is handled.
  bool handleKey(MSG& msg);

  // Brings the progress bar and the dive list's selection up to date; they
  // follow long work at a bounded rate.
  void showPending();

  void TBOpenClick();
  void MFile_quitClick();
  void TBCloseClick();
  void CB_historyExit();
  void MList_htmlClick();
  void MHelp_aboutClick();
  void FormShow();
  void List_viewClick();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void command(int id, int code);
  LRESULT notify(NMHDR& header);

  void buildMenuImages();
  void buildToolBar();
  void buildControls();
  void buildStatusBar();
  void buildHints();

  void memoChanged() override;
  void diveListChanged() override;
  void diveSelected(int index) override;
  void historyAdded(const std::string& line) override;
  void filePanelChanged() override;
  void progressChanged() override;

  // Shows the pending changes now when no command runs; during a command, at a
  // bounded rate once it has run a while.
  void followWork();
  // Runs one command to its end; no other command starts meanwhile.
  template <typename Command>
  void runCommand(Command command);

  Session& session_;
  HINSTANCE instance_;
  TAboutBox* aboutBox_ = nullptr;
  HWND window_ = nullptr;
  HACCEL accelerators_ = nullptr;
  std::array<HBITMAP, 4> imageList1_{};  // shared by menus and tool bar
  HIMAGELIST toolImages_ = nullptr;

  HWND memo_ = nullptr;
  std::size_t memoLinesShown_ = 0;
  HWND diveList_ = nullptr;
  HWND history_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND progressBar_ = nullptr;
  HWND hints_ = nullptr;

  bool quitWhenClosed_ = false;
  std::optional<std::string> startFile_;
  std::string startWarning_;
  bool progressPending_ = false;
  bool selectionPending_ = false;
  CommandRunner commands_{session_};
};

}  // namespace quellmar::win32
