// The window tests run on Qt's offscreen platform, in the "C" locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  std::setlocale(LC_ALL, "C");  // QApplication took the environment's locale
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
