// What the window tests share: a user stand-in that answers modal dialogs, a
// main window over a test platform, and a small SDM export on disk.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "commands/session.h"
#include "main_window.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "window/window_layout.h"

namespace quellmar::testing {

// Acts on the next modal dialog as soon as it is on screen, as a user would;
// the dialog's own event loop keeps running meanwhile.
class ModalAnswerer {
 public:
  explicit ModalAnswerer(std::function<void(QWidget*)> act);
  bool answered() const { return answered_; }

 private:
  QTimer timer_;
  std::function<void(QWidget*)> act_;
  bool answered_ = false;
};

// Names a table row in the test's name and messages by its own name field;
// a file's rows in an unnamed namespace see it through `using PrintTo`.
template <typename Row>
requires requires(const Row& row) { std::string_view(row.name); }
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

// Each control of top found by its name at its place in the box it stands
// in, as large as laid out where its caption does not ask for more, with its
// caption (without the mark of its mnemonic) and hint.
void ExpectControlsMadeFrom(QWidget* top, std::span<const ControlLayout> controls);

// Presses a key on the dialog's focused control, or on the dialog.
void PressKey(QWidget* dialog, Qt::Key key);

// A small export of three dives numbered 12, 3 and 7 in that order.
inline constexpr const char* kSampleDiveList[] = {"3. Dahab; Blue Hole", "7. Sharm; Ras Um Sid",
                                                  "12. Dahab; Canyon"};
std::filesystem::path WriteSampleExport(const TempDir& dir, const std::string& folder,
                                        const std::string& base = "logbook");

// The main window over a test platform whose program folder holds four plain
// templates: the index page is "<html>", one "<p>dive</p>" line per dive and
// "</html>".
class WindowTest : public ::testing::Test {
 public:
  WindowTest();

  template <typename Widget>
  Widget* find(const char* name) {
    auto* widget = window.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // Shows the window and makes it the active one, for focus and shortcuts.
  void showActive();
  // Runs Open CSV on the given path, as if chosen in the file dialog.
  void open(const std::filesystem::path& path);

  TempDir dir;
  std::filesystem::path programDir;
  TestPlatform platform;
  Session session{platform};
  MainWindow window{session};
};

}  // namespace quellmar::testing
