// Program start: the main window, then the about dialog (hidden), then the
// event loop; showing the window shows the about dialog over it.
#include <QApplication>
#include <clocale>

#include "about_box.h"
#include "main_window.h"
#include "model/session.h"
#include "qt_platform.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // Qt takes the user's locale; the program's number texts never depend on it.
  std::setlocale(LC_ALL, "C");
  application.setApplicationName(QStringLiteral("Quellmar"));
  application.setApplicationVersion(QStringLiteral("1.2"));
  application.setDesktopFileName(QStringLiteral("quellmar"));

  quellmar::QtPlatform platform;
  quellmar::Session session(platform);
  quellmar::TForm1 form1(session);
  quellmar::TAboutBox aboutBox(platform, &form1);
  form1.setAboutBox(&aboutBox);
  platform.setOwner(&form1);
  platform.setBeforeModal([&form1] { form1.showPending(); });

  form1.show();
  return application.exec();
}
