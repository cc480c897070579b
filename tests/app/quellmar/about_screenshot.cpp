// Writes a picture of the real about dialog, drawn by Qt's offscreen
// platform, to the PNG file named on the command line (the pictures in docs/).
#include <QApplication>
#include <iostream>

#include "about_dialog.h"
#include "qt_platform.h"

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc != 2) {
    std::cerr << "usage: quellmar_about_screenshot FILE.png\n";
    return 2;
  }
  quellmar::QtPlatform platform;
  quellmar::AboutDialog about(platform, nullptr);
  about.show();
  if (!about.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::cerr << "quellmar_about_screenshot: cannot write " << argv[1] << '\n';
    return 1;
  }
  std::cout << argv[1] << ": " << about.font().family().toStdString() << ' '
            << QFontInfo(about.font()).family().toStdString() << '\n';
  return 0;
}
