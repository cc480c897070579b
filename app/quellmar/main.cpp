// Program start: the command line, the main window, then the about dialog
// (hidden), then the event loop; the controller does the rest when the
// window is first shown.
#include <QApplication>
#include <clocale>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "about_dialog.h"
#include "basic/executable.h"
#include "commands/commands.h"
#include "commands/program_directory.h"
#include "commands/session.h"
#include "commands/window_arguments.h"
#include "main_window.h"
#include "model/version.h"
#include "qt_platform.h"

int main(int argc, char* argv[]) {
  using namespace quellmar;
  // A first look before Qt starts, past Qt's own options, so that --help and
  // --version need no display.
  const auto firstLook =
      AnswerWindowArguments({argv + 1, argv + argc}, QUELLMAR_VERSION, std::cout, std::cerr, true);
  if (const auto* answered = std::get_if<int>(&firstLook)) return *answered;
  PrepareProgram();

  QApplication application(argc, argv);  // takes Qt's options out of argv
  // Qt takes the user's locale; the program's number texts never depend on it.
  std::setlocale(LC_ALL, "C");
  application.setApplicationName(QStringLiteral("Quellmar"));
  application.setApplicationVersion(QStringLiteral(QUELLMAR_VERSION));
  application.setDesktopFileName(QStringLiteral("quellmar"));

  const auto read =
      AnswerWindowArguments({argv + 1, argv + argc}, QUELLMAR_VERSION, std::cout, std::cerr);
  if (const auto* answered = std::get_if<int>(&read)) return *answered;
  const auto& arguments = std::get<WindowArguments>(read);

  const auto directory = FindProgramDirectory(arguments.base, ExecutableFolder(argv[0]));
  QtPlatform platform(directory.path);
  Session session(platform);
  MainWindow window(session);
  AboutDialog about(platform, &window);
  window.setAboutDialog(&about);
  window.controller().setProgramDirectory(directory);
  if (arguments.file) window.controller().setStartFile(*arguments.file);
  platform.setOwner(&window);
  platform.setBeforeModal([&window] { window.controller().showPending(); });

  window.show();
  return application.exec();
}
