#include "window_test_support.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include "import/export_files.h"

namespace quellmar::testing {

ModalAnswerer::ModalAnswerer(std::function<void(QWidget*)> act) : act_(std::move(act)) {
  timer_.setInterval(5);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    timer_.stop();
    answered_ = true;
    act_(modal);
  });
  timer_.start();
}

static QString CaptionOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return QString(label->text()).remove('&');
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    return QString(button->text()).remove('&');
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  return {};
}

void ExpectControlsMadeFrom(QWidget* top, std::span<const ControlLayout> controls) {
  for (const ControlLayout& control : controls) {
    SCOPED_TRACE(control.name);
    auto* widget = top->findChild<QWidget*>(QLatin1String(control.name));
    ASSERT_NE(widget, nullptr);
    if (control.in) {
      EXPECT_EQ(widget->parentWidget()->objectName(), FindControl(controls, *control.in).name);
    }
    EXPECT_EQ(widget->pos(), QPoint(control.place.left, control.place.top));
    if (control.place.width >= 0 && control.room.width == 0) {
      EXPECT_EQ(widget->size(), QSize(control.place.width, control.place.height));
    }
    EXPECT_EQ(CaptionOf(widget), QString(control.caption).remove('&'));
    EXPECT_EQ(widget->toolTip(), control.hint);
  }
}

void PressKey(QWidget* dialog, Qt::Key key) {
  QWidget* target = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
  QTest::keyClick(target, key);
}

std::filesystem::path WriteSampleExport(const TempDir& dir, const std::string& folder,
                                        const std::string& base) {
  const std::string main = JoinLines({
      DiveLine(101, 12, "Dahab", "Canyon", 1800, 18, 20),
      DiveLine(102, 3, "Dahab", "Blue Hole", 2125, 32, 0),
      DiveLine(103, 7, "Sharm", "Ras Um Sid", 1200, 27, 16),
  });
  const std::string notes = JoinLines({"101,\"Turtle at the exit\""});
  const std::string profiles = JoinLines(
      {"101,\"\",0", "101,\"\",9.5", "101,\"\",18", "101,\"\",4", "103,\"\",12", "103,\"\",27"});
  return WriteExport(dir, folder, main, notes, profiles, base);
}

static std::filesystem::path MakeProgramDir(const TempDir& dir) {
  dir.write("program/html/head.html", "<html>\r\n");
  dir.write("program/html/lines.html", "<p>dive</p>\r\n");
  dir.write("program/html/foot.html", "</html>\r\n");
  dir.write("program/html/note.html", "<p>note</p>\r\n");
  return dir.path() / "program";
}

WindowTest::WindowTest() : programDir(MakeProgramDir(dir)), platform(programDir) {}

void WindowTest::showActive() {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void WindowTest::open(const std::filesystem::path& path) {
  platform.nextChoice = path;
  window.controller().openCsv();
}

}  // namespace quellmar::testing
