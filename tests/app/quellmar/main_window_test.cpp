// The main window's controls, menus and tool bar as its tables describe
// them, its size, and the events it forwards: options, history, commands and keys.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "about_dialog.h"
#include "window/tool_images.h"
#include "window/window_layout.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

using ::quellmar::testing::PrintTo;

void ExpectPlace(QWidget* widget, Place place) {
  EXPECT_EQ(widget->geometry(), QRect(place.left, place.top, place.width, place.height));
}

TEST_F(WindowTest, ControlsAreMadeFromTheirTable) {
  ExpectControlsMadeFrom(&window, kMainWindowControls);
  ExpectPlace(find<QWidget>("toolBar"), kToolBarPlace);
  ExpectPlace(find<QWidget>("statusBar"), kStatusBarPlace);
  ExpectPlace(find<QWidget>("progressBar"), kProgressBarPlace);
  EXPECT_EQ(find<QLabel>("creditPanel")->geometry(), QRect(0, 1, kCreditPanel.width, 17));
  EXPECT_EQ(find<QLabel>("filePanel")->geometry(), QRect(92, 1, kFilePanel.width, 17));
}

TEST_F(WindowTest, StartsEmptyWithTheDefaultOptions) {
  EXPECT_TRUE(find<QCheckBox>("noteBox")->isChecked());
  EXPECT_TRUE(find<QCheckBox>("gifBox")->isChecked());
  EXPECT_EQ(find<QLineEdit>("pixelsEdit")->text(), "1");
  EXPECT_EQ(find<QPlainTextEdit>("infoMemo")->toPlainText(), "");
  EXPECT_FALSE(find<QPlainTextEdit>("infoMemo")->isReadOnly());
  EXPECT_EQ(find<QListView>("diveList")->model()->rowCount(), 0);
  EXPECT_EQ(find<QListView>("diveList")->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_TRUE(find<QComboBox>("historyBox")->isEditable());
}

TEST_F(WindowTest, WindowHasFixedSizeAndNoMaximizeButton) {
  showActive();
  EXPECT_EQ(window.windowTitle(), "Quellmar  v1.2");
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_EQ(window.centralWidget()->size(), QSize(542, 384));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
  const QSize before = window.size();
  window.resize(before + QSize(100, 80));
  QCoreApplication::processEvents();
  EXPECT_EQ(window.size(), before);
  const QPoint middle = window.frameGeometry().center();
  const QPoint desktop = window.screen()->availableGeometry().center();
  EXPECT_LE((middle - desktop).manhattanLength(), 2);
}

// The picture the window gives an image, drawn from its pixels.
QImage ImageOf(const QIcon& icon) {
  return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}
QImage Drawn(ToolImage image) {
  const ToolImagePixels pixels = DrawToolImage(image);
  return QImage(reinterpret_cast<const uchar*>(pixels.data()), kToolImageSize, kToolImageSize,
                QImage::Format_ARGB32)
      .copy();
}

TEST_F(WindowTest, ToolBarIsMadeFromItsTable) {
  showActive();
  auto* bar = find<QToolBar>("toolBar");
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), std::ssize(kToolBar));
  int left = -1;
  for (std::size_t i = 0; i < std::size(kToolBar); ++i) {
    const ToolButton& tool = kToolBar[i];
    SCOPED_TRACE(tool.name);
    QWidget* shown = bar->widgetForAction(bar->actions()[static_cast<qsizetype>(i)]);
    EXPECT_EQ(shown->objectName(), tool.name);
    EXPECT_GT(shown->x(), left);
    left = shown->x();
    EXPECT_EQ(shown->width(), tool.separator() ? kToolSeparatorWidth : kToolButtonSize.width);
    if (tool.separator()) continue;
    auto* button = qobject_cast<QToolButton*>(shown);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), tool.caption);
    EXPECT_EQ(button->toolTip(), tool.hint);
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(ImageOf(button->icon()), Drawn(tool.image));
  }
}

// A click on the box itself, at the left end of the control.
void ClickBox(QCheckBox* box) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

TEST_F(WindowTest, MenusAreMadeFromTheirTable) {
  ASSERT_EQ(window.menuBar()->actions().size(), std::ssize(kMenus));
  for (std::size_t m = 0; m < std::size(kMenus); ++m) {
    const Menu& menu = kMenus[m];
    auto* shown = find<QMenu>(menu.name);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(window.menuBar()->actions()[static_cast<qsizetype>(m)]->menu(), shown);
    EXPECT_EQ(shown->title(), menu.caption);
    ASSERT_EQ(shown->actions().size(), std::ssize(menu.items));
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
      const MenuItem& item = menu.items[i];
      SCOPED_TRACE(item.name);
      const QAction* action = shown->actions()[static_cast<qsizetype>(i)];
      EXPECT_EQ(action->objectName(), item.name);
      EXPECT_EQ(action->isSeparator(), item.separator());
      if (item.separator()) continue;
      EXPECT_EQ(action->text(), item.caption);
      EXPECT_EQ(action->shortcut(),
                item.key == 0 ? QKeySequence() : QKeySequence(Qt::CTRL | Qt::Key(item.key)));
      EXPECT_EQ(action->icon().isNull(), !item.image);
      if (item.image) {
        EXPECT_EQ(ImageOf(action->icon()), Drawn(*item.image));
      }
    }
  }
}

TEST_F(WindowTest, OptionsGoIntoTheSessionAsTheyChange) {
  showActive();
  ClickBox(find<QCheckBox>("noteBox"));
  EXPECT_FALSE(session.window.options.note);
  EXPECT_TRUE(session.window.options.gif);
  ClickBox(find<QCheckBox>("gifBox"));
  EXPECT_FALSE(session.window.options.gif);
  ClickBox(find<QCheckBox>("noteBox"));
  EXPECT_TRUE(session.window.options.note);

  auto* px = find<QLineEdit>("pixelsEdit");
  px->setFocus();
  px->selectAll();
  QTest::keyClicks(px, "3 p");
  px->insert(QStringLiteral(u"\u00E9"));            // typed with a key QTest cannot press
  EXPECT_EQ(session.window.options.px, "3 p\xE9");  // the export's own windows-1252 text
}

TEST_F(WindowTest, LeavingTheHistoryPutsHistoryBackAndKeepsItsLines) {
  session.window.addHistory("first line");
  session.window.addHistory("second line");
  EXPECT_EQ(find<QComboBox>("historyBox")->currentText(), "History");
  showActive();
  auto* history = find<QComboBox>("historyBox");
  auto* memo = find<QPlainTextEdit>("infoMemo");

  history->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(history, "typed");
  EXPECT_EQ(history->currentText(), "typed");  // the focus selected the text
  memo->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(history->currentText(), "History");

  history->setFocus(Qt::TabFocusReason);
  history->setCurrentIndex(1);
  EXPECT_EQ(history->currentText(), "second line");
  QTest::keyClick(history, Qt::Key_Return);  // must not add a line
  memo->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(history->currentText(), "History");
  ASSERT_EQ(history->count(), 2);
  EXPECT_EQ(history->itemText(0), "first line");
  EXPECT_EQ(history->itemText(1), "second line");
  EXPECT_EQ(session.window.history().size(), 2u);
}

TEST_F(WindowTest, DroppingTheHistoryDownDoesNotLeaveIt) {
  session.window.addHistory("a line");
  showActive();
  auto* history = find<QComboBox>("historyBox");
  history->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(history, "!");
  EXPECT_EQ(history->currentText(), "!");
  history->showPopup();
  EXPECT_EQ(history->currentText(), "!");
  history->hidePopup();
  EXPECT_EQ(history->currentText(), "!");
}

// Each command through each of its menu item, tool button and shortcut.
enum class Command { Open, Close, Export, View, About, Quit };
enum class Trigger { MenuItem, ToolButton, Shortcut };

struct TriggerRow {
  const char* name;
  Command command;
  Trigger trigger;
  const char* control;  // action or tool button name
  Qt::Key key;          // with Ctrl
};

// clang-format off
const TriggerRow kTriggers[] = {
  {"OpenMenu",       Command::Open,   Trigger::MenuItem,   "openCsvItem",    Qt::Key_unknown},
  {"OpenTool",       Command::Open,   Trigger::ToolButton, "openButton",     Qt::Key_unknown},
  {"OpenShortcut",   Command::Open,   Trigger::Shortcut,   nullptr,          Qt::Key_O},
  {"CloseMenu",      Command::Close,  Trigger::MenuItem,   "closeCsvItem",   Qt::Key_unknown},
  {"CloseTool",      Command::Close,  Trigger::ToolButton, "closeButton",    Qt::Key_unknown},
  {"ExportMenu",     Command::Export, Trigger::MenuItem,   "exportHtmlItem", Qt::Key_unknown},
  {"ExportTool",     Command::Export, Trigger::ToolButton, "exportButton",   Qt::Key_unknown},
  {"ExportShortcut", Command::Export, Trigger::Shortcut,   nullptr,          Qt::Key_E},
  {"ViewMenu",       Command::View,   Trigger::MenuItem,   "viewHtmlItem",   Qt::Key_unknown},
  {"ViewTool",       Command::View,   Trigger::ToolButton, "viewButton",     Qt::Key_unknown},
  {"ViewShortcut",   Command::View,   Trigger::Shortcut,   nullptr,          Qt::Key_B},
  {"AboutMenu",      Command::About,  Trigger::MenuItem,   "aboutItem",      Qt::Key_unknown},
  {"QuitMenu",       Command::Quit,   Trigger::MenuItem,   "quitItem",       Qt::Key_unknown},
  {"QuitShortcut",   Command::Quit,   Trigger::Shortcut,   nullptr,          Qt::Key_Q},
};
// clang-format on

class TriggerTest : public WindowTest, public ::testing::WithParamInterface<TriggerRow> {
 protected:
  void fire(const TriggerRow& row) {
    switch (row.trigger) {
      case Trigger::MenuItem:
        find<QAction>(row.control)->trigger();
        break;
      case Trigger::ToolButton:
        QTest::mouseClick(find<QToolButton>(row.control), Qt::LeftButton);
        break;
      case Trigger::Shortcut:
        QTest::keyClick(&window, row.key, Qt::ControlModifier);
        break;
    }
  }
};

TEST_P(TriggerTest, RunsItsCommand) {
  const TriggerRow& row = GetParam();
  const auto sample = WriteSampleExport(dir, "export");
  if (row.command == Command::Close || row.command == Command::Quit) {
    open(sample);  // Close needs a loaded logbook; Quit asks nothing even then
    ASSERT_TRUE(session.logbook.has_value());
  }
  showActive();
  AboutDialog about(platform, &window);  // after the start, which shows none here
  window.setAboutDialog(&about);
  platform.messages.clear();
  const std::filesystem::path missing = dir.path() / "missing.csv";
  platform.nextChoice = missing;

  std::unique_ptr<ModalAnswerer> user;
  if (row.command == Command::About)
    user = std::make_unique<ModalAnswerer>([](QWidget* box) { PressKey(box, Qt::Key_Return); });
  fire(row);

  switch (row.command) {
    case Command::Open:
      EXPECT_EQ(session.window.chosenPath, missing);
      break;
    case Command::Close:
      EXPECT_FALSE(session.logbook.has_value());
      break;
    case Command::Export:
      ASSERT_EQ(platform.messages.size(), 1u);  // no logbook loaded: refused
      break;
    case Command::View:
      EXPECT_EQ(platform.opened.size(), 1u);
      break;
    case Command::About:
      EXPECT_TRUE(user->answered());
      EXPECT_FALSE(about.isVisible());
      break;
    case Command::Quit:
      EXPECT_FALSE(window.isVisible());
      EXPECT_TRUE(platform.messages.empty());
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(MainWindow, TriggerTest, ::testing::ValuesIn(kTriggers),
                         [](const auto& info) { return std::string(info.param.name); });

// Keys that reach the menus and the controls: the menu or control that gets
// the input, starting from the control that had the focus.
struct KeyRow {
  const char* name;
  const char* from;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  const char* reached;  // an open menu or the focused control
};

// clang-format off
const KeyRow kKeys[] = {
  {"AltFOpensFile",      "diveList",   Qt::Key_F,   Qt::AltModifier, "fileMenu"},
  {"AltLOpensLogbook",   "diveList",   Qt::Key_L,   Qt::AltModifier, "logbookMenu"},
  {"AltHOpensHelp",      "infoMemo",   Qt::Key_H,   Qt::AltModifier, "helpMenu"},
  {"F10OpensFile",       "pixelsEdit", Qt::Key_F10, Qt::NoModifier,  "fileMenu"},
  {"AltNToNote",         "diveList",   Qt::Key_N,   Qt::AltModifier, "noteBox"},
  {"AltGToProfilGif",    "diveList",   Qt::Key_G,   Qt::AltModifier, "gifBox"},
  {"AltPToPixels",       "diveList",   Qt::Key_P,   Qt::AltModifier, "pixelsEdit"},
  {"AltDToTheDives",     "pixelsEdit", Qt::Key_D,   Qt::AltModifier, "diveList"},
  {"TabLeavesTheMemo",   "infoMemo",   Qt::Key_Tab, Qt::NoModifier,  "noteBox"},
  {"TabGoesOnToHistory", "diveList",   Qt::Key_Tab, Qt::NoModifier,  "historyBox"},
};
// clang-format on

class KeyTest : public WindowTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(KeyTest, ReachesItsMenuOrControl) {
  const KeyRow& row = GetParam();
  showActive();
  QWidget* from = find<QWidget>(row.from);
  from->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(from, row.key, row.modifiers);
  QWidget* popup = QApplication::activePopupWidget();
  QWidget* reached = popup != nullptr ? popup : QApplication::focusWidget();
  ASSERT_NE(reached, nullptr);
  EXPECT_EQ(reached->objectName(), row.reached);
  if (popup != nullptr) popup->close();
}

INSTANTIATE_TEST_SUITE_P(MainWindow, KeyTest, ::testing::ValuesIn(kKeys),
                         [](const auto& info) { return std::string(info.param.name); });

// Every caption is whole on screen, whatever face the desktop gives the
// windows: the text's own size fits the control, and the control its parent.
TEST_F(WindowTest, EveryCaptionFitsItsControl) {
  AboutDialog about(platform, &window);
  session.window.setFilePanel(std::string(120, 'x'));  // a path far longer than the panel
  showActive();
  int checked = 0;
  for (QWidget* top : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&about)}) {
    for (QWidget* control : top->findChildren<QWidget*>()) {
      QSize needed;
      if (auto* label = qobject_cast<QLabel*>(control); label && !label->text().isEmpty()) {
        needed = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                   : label->sizeHint();
      } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
        needed = QSize(box->sizeHint().width(), box->fontMetrics().height());
      } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        needed = QSize(group->fontMetrics().horizontalAdvance(group->title()), 0);
      } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
      } else {
        continue;
      }
      SCOPED_TRACE(control->objectName().toStdString());
      ++checked;
      EXPECT_LE(needed.width(), control->width());
      EXPECT_LE(needed.height(), control->height());
      EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry()));
      EXPECT_GE(control->font().pointSizeF(), 6.0);
    }
  }
  EXPECT_GE(checked, 15);
}

}  // namespace
}  // namespace quellmar::testing
