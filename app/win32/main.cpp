// Program start: the command line, the main window, then the about dialog
// (hidden), then the message loop; the controller does the rest when the
// window is first shown.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <clocale>
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  using namespace quellmar;
  std::setlocale(LC_ALL, "C");
  const std::vector<std::string> args = CommandLineArguments(0, nullptr);
  const std::string program = args.empty() ? std::string() : args.front();
  const auto read = AnswerWindowArguments({args.begin() + (args.empty() ? 0 : 1), args.end()},
                                          QUELLMAR_VERSION, std::cout, std::cerr);
  if (const auto* answered = std::get_if<int>(&read)) return *answered;
  const auto& arguments = std::get<WindowArguments>(read);

  OleInitialize(nullptr);  // the file dialog and the picture decoder
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

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
  OleUninitialize();
  return static_cast<int>(msg.wParam);
}
