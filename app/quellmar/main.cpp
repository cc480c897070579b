// Program start: the main window, then the about dialog (hidden), then the
// event loop; showing the window shows the about dialog over it, and then
// opens the export named on the command line, if any.
#include <QApplication>
#include <QStatusBar>
#include <clocale>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "about_box.h"
#include "commands/program_directory.h"
#include "display_text.h"
#include "main_window.h"
#include "model/session.h"
#include "model/version.h"
#include "qt_platform.h"

namespace {

constexpr const char* kUsage =
    "Usage: quellmar [FILE]\n"
    "Shows the window that converts an SDM dive-logbook CSV export into an HTML logbook.\n"
    "\n"
    "  FILE            the main CSV file of an SDM export, opened at start\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "Qt's own options (such as -platform) are taken as well.\n";

enum ExitCode { kDone = 0, kUsageError = 2 };

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before Qt starts, so that they need no display.
  for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help") {
      std::cout << kUsage;
      return kDone;
    }
    if (arg == "--version") {
      std::cout << "quellmar " QUELLMAR_VERSION "\n";
      return kDone;
    }
  }

  QApplication application(argc, argv);  // takes Qt's options out of argv
  // Qt takes the user's locale; the program's number texts never depend on it.
  std::setlocale(LC_ALL, "C");
  application.setApplicationName(QStringLiteral("Quellmar"));
  application.setApplicationVersion(QStringLiteral(QUELLMAR_VERSION));
  application.setDesktopFileName(QStringLiteral("quellmar"));

  // What is left is one FILE at most; "--" lets a name begin with "-".
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      std::cerr << "quellmar: unknown option " << arg << "\n\n" << kUsage;
      return kUsageError;
    } else {
      files.emplace_back(arg);
    }
  }
  if (files.size() > 1) {
    std::cerr << "quellmar: one FILE only, not " << files.size() << "\n\n" << kUsage;
    return kUsageError;
  }

  quellmar::QtPlatform platform;
  const auto directory = quellmar::FindProgramDirectory(std::nullopt, quellmar::ExecutableFolder());
  platform.setProgramDirectory(directory.path);
  quellmar::Session session(platform);
  quellmar::TForm1 form1(session);
  quellmar::TAboutBox aboutBox(platform, &form1);
  form1.setAboutBox(&aboutBox);
  if (!files.empty()) form1.setStartFile(files.front());
  platform.setOwner(&form1);
  platform.setBeforeModal([&form1] { form1.showPending(); });

  // The folder in use is the status bar's tooltip, so both panels keep their texts.
  if (auto* bar = form1.findChild<QStatusBar*>(QStringLiteral("StatusBar1")))
    bar->setToolTip(QStringLiteral("Program folder: ") +
                    quellmar::DisplayText(quellmar::ProgramDirectoryText(directory)));

  form1.show();
  if (!directory.problem.empty()) {
    QMetaObject::invokeMethod(
        &form1,
        [&platform, &directory] {
          platform.showMessage(quellmar::MessageKind::Warning, directory.problem,
                               quellmar::MessageButtons::Ok, {});
        },
        Qt::QueuedConnection);
  }
  return application.exec();
}
