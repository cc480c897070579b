// Program start: the command line, the main window, then the about dialog
// (hidden), then the message loop; the controller does the rest when the
// window is first shown.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <clocale>
#include <exception>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "about_dialog.h"
#include "basic/executable.h"
#include "commands/program_directory.h"
#include "commands/session.h"
#include "commands/window_arguments.h"
#include "controls.h"
#include "main_window.h"
#include "model/version.h"
#include "win32_platform.h"

namespace {

using namespace quellmar;

// OLE for the file dialog and the picture decoder, while the program runs.
struct OleSession {
  OleSession() {
    if (FAILED(OleInitialize(nullptr))) throw win32::StartFailure("Cannot start OLE");
  }
  ~OleSession() { OleUninitialize(); }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
};

// The window's life: the start, the message loop, and what the loop ended with.
int Run(HINSTANCE instance, int show) {
  const std::vector<std::string> args = CommandLineArguments(0, nullptr);
  const std::string program = args.empty() ? std::string() : args.front();
  const auto read = AnswerWindowArguments({args.begin() + (args.empty() ? 0 : 1), args.end()},
                                          QUELLMAR_VERSION, std::cout, std::cerr);
  if (const auto* answered = std::get_if<int>(&read)) return *answered;
  const auto& arguments = std::get<WindowArguments>(read);

  const OleSession ole;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&controls))
    throw win32::StartFailure("Cannot load the common controls");

  const auto directory = FindProgramDirectory(arguments.base, ExecutableFolder(program.c_str()));
  win32::Win32Platform platform(directory.path);
  Session session(platform);
  win32::MainWindow window(session, instance);
  win32::AboutDialog about(platform, instance);
  window.setAboutDialog(&about);
  window.quitWhenClosed();
  window.controller().setProgramDirectory(directory);
  if (arguments.file) window.controller().setStartFile(*arguments.file);
  platform.setOwner(window.handle());
  platform.setBeforeModal([&window] { window.controller().showPending(); });

  ShowWindow(window.handle(), show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.handleKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

// A start that fails (the window, a resource) says why in a box of its own
// and ends the program with status 1.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  std::setlocale(LC_ALL, "C");
  try {
    return Run(instance, show);
  } catch (const std::exception& error) {
    win32::Win32Platform().showError("Quellmar cannot start.", error.what());
    return 1;
  }
}
