// Program start: the main window, then the about dialog (hidden), then the
// message loop; showing the window shows the about dialog over it. A file
// given on the command line is opened once the about dialog is closed.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <clocale>
#include <cstdlib>

#include "about_box.h"
#include "commands/program_directory.h"
#include "commands/session.h"
#include "main_window.h"
#include "win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  using namespace quellmar;
  std::setlocale(LC_ALL, "C");
  OleInitialize(nullptr);  // the file dialog and the picture decoder
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  win32::Win32Platform platform;
  const auto directory = FindProgramDirectory(std::nullopt, win32::ExecutableFolder());
  platform.setProgramDirectory(directory.path);
  Session session(platform);
  win32::TForm1 form1(session, instance);
  win32::TAboutBox aboutBox(platform, instance);
  form1.setAboutBox(&aboutBox);
  form1.quitWhenClosed();
  form1.showProgramFolder("Program folder: " + ProgramDirectoryText(directory));
  if (!directory.problem.empty()) form1.warnAtStart(directory.problem);
  platform.setOwner(form1.handle());
  platform.setBeforeModal([&form1] { form1.showPending(); });
  // The arguments as the ANSI bytes they were given in.
  if (__argc > 1) form1.setStartFile(__argv[1]);

  ShowWindow(form1.handle(), show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (form1.handleKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  OleUninitialize();
  return static_cast<int>(msg.wParam);
}
