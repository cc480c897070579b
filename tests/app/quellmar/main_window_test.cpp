// The main window's controls, menus, tool bar, size and options, and the way
// each command is reached.
#include <QAbstractButton>
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
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

using ::quellmar::testing::PrintTo;

// The caption as it reads, without the mark of its mnemonic.
QString CaptionOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return QString(label->text()).remove('&');
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    return QString(button->text()).remove('&');
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText();
  return {};
}

struct ControlRow {
  const char* name;
  int left, top, width, height;  // width and height -1: as the text needs
  const char* caption;           // nullptr: none to check
  const char* hint;
};

// clang-format off
const ControlRow kControls[] = {
  {"toolBar",       0,   0,   542, 29,  nullptr,                  nullptr},
  {"infoGroup",     8,   32,  337, 129, " Logbook informations ", nullptr},
  {"infoMemo",      8,   24,  321, 97,  nullptr,                  nullptr},
  {"optionsGroup",  352, 32,  185, 129, " HTML options ",         nullptr},
  {"noteBox",       8,   24,  -1,  -1,  "Note",                   "Check this for insert dive notes to the html"},
  {"gifBox",        8,   40,  -1,  -1,  "Dive profil GIF",        "Check this for the profile GIF pictures"},
  {"pixelsEdit",    8,   58,  25,  -1,  "1",                      "1 entry (depent of the computer settings) 10-20-30 sec"},
  {"pixelsLabel",   40,  64,  -1,  -1,  "pixel / profile entry",  nullptr},
  {"diveListLabel", 8,   168, -1,  -1,  "Logged dives:",          nullptr},
  {"diveList",      8,   184, 529, 153, nullptr,                  nullptr},
  {"historyBox",    0,   344, 543, 21,  "History",                nullptr},
  {"statusBar",     0,   365, 542, 19,  nullptr,                  nullptr},
  {"progressBar",   352, 370, 186, 10,  nullptr,                  nullptr},
};
// clang-format on

class ControlTest : public WindowTest, public ::testing::WithParamInterface<ControlRow> {};

TEST_P(ControlTest, StandsAtItsPlaceWithItsCaptionAndHint) {
  const ControlRow& row = GetParam();
  QWidget* widget = find<QWidget>(row.name);
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->pos(), QPoint(row.left, row.top));
  if (row.width >= 0) {
    EXPECT_EQ(widget->width(), row.width);
  }
  if (row.height >= 0) {
    EXPECT_EQ(widget->height(), row.height);
  }
  if (row.caption != nullptr) {
    EXPECT_EQ(CaptionOf(widget).toStdString(), row.caption);
  }
  if (row.hint != nullptr) {
    EXPECT_EQ(widget->toolTip().toStdString(), row.hint);
  }
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ControlTest, ::testing::ValuesIn(kControls),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, StartsEmptyWithTheDefaultOptions) {
  EXPECT_TRUE(find<QCheckBox>("noteBox")->isChecked());
  EXPECT_TRUE(find<QCheckBox>("gifBox")->isChecked());
  EXPECT_EQ(find<QPlainTextEdit>("infoMemo")->toPlainText(), "");
  EXPECT_FALSE(find<QPlainTextEdit>("infoMemo")->isReadOnly());
  EXPECT_EQ(find<QListView>("diveList")->model()->rowCount(), 0);
  EXPECT_EQ(find<QListView>("diveList")->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(find<QComboBox>("historyBox")->count(), 0);
  EXPECT_TRUE(find<QComboBox>("historyBox")->isEditable());
  const auto* bar = find<QProgressBar>("progressBar");
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);
  EXPECT_EQ(bar->value(), 0);
}

TEST_F(WindowTest, StatusBarHasTheCreditAndTheFilePanel) {
  auto* credit = find<QLabel>("creditPanel");
  auto* file = find<QLabel>("filePanel");
  ASSERT_TRUE(credit && file);
  EXPECT_EQ(credit->width(), 90);
  EXPECT_FALSE(credit->text().isEmpty());
  EXPECT_EQ(file->width(), 200);
  EXPECT_EQ(file->text(), "No CSV file");
  EXPECT_LT(credit->x(), file->x());
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

// clang-format off
struct ToolRow { const char* name; const char* caption; const char* hint; int width; };
const ToolRow kToolBar[] = {
  {"fileToolSeparator", nullptr,     nullptr,        8},
  {"openButton",        "Open",      "CSV Open",     23},
  {"closeButton",       "Close",     "CSV Close",    23},
  {"htmlToolSeparator", nullptr,     nullptr,        8},
  {"exportButton",      "Make HTML", "HTML export",  23},
  {"viewButton",        nullptr,     "Html preview", 23},
};
// clang-format on

TEST_F(WindowTest, ToolBarHoldsItsButtonsInOrder) {
  showActive();
  auto* bar = find<QToolBar>("toolBar");
  ASSERT_NE(bar, nullptr);
  std::vector<QWidget*> widgets;
  for (QAction* action : bar->actions()) widgets.push_back(bar->widgetForAction(action));
  ASSERT_EQ(widgets.size(), std::size(kToolBar));
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    const ToolRow& row = kToolBar[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(widgets[i]->objectName(), row.name);
    EXPECT_EQ(widgets[i]->width(), row.width);
    if (row.caption != nullptr) {
      EXPECT_EQ(CaptionOf(widgets[i]), row.caption);
    }
    if (row.hint != nullptr) {
      EXPECT_EQ(widgets[i]->toolTip(), row.hint);
      auto* button = qobject_cast<QToolButton*>(widgets[i]);
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
      EXPECT_FALSE(button->icon().isNull());
    }
    if (i > 0) {
      EXPECT_GT(widgets[i]->x(), widgets[i - 1]->x());
    }
  }
}

// clang-format off
struct MenuRow { const char* menu; const char* menuCaption; const char* item; const char* caption;
                 const char* shortcut; const char* sameImageAs; };
const MenuRow kMenus[] = {
  {"fileMenu",    "&File",    "openCsvItem",    "&Open CSV",    "Ctrl+O", "openButton"},
  {"fileMenu",    "&File",    "closeCsvItem",   "&Close CSV",   "",       "closeButton"},
  {"fileMenu",    "&File",    "quitSeparator",  "",             "",       nullptr},
  {"fileMenu",    "&File",    "quitItem",       "&Quit",        "Ctrl+Q", nullptr},
  {"logbookMenu", "&Logbook", "exportHtmlItem", "HTML &export", "Ctrl+E", "exportButton"},
  {"logbookMenu", "&Logbook", "viewHtmlItem",   "HTML &view",   "Ctrl+B", "viewButton"},
  {"logbookMenu", "&Logbook", "exportUddfItem", "&UDDF export\u2026", "Ctrl+U", nullptr},
  {"helpMenu",    "&Help",    "aboutItem",      "&About",       "",       nullptr},
};
// clang-format on

// A click on the box itself, at the left end of the control.
void ClickBox(QCheckBox* box) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

QImage ImageOf(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

TEST_F(WindowTest, MenusHoldTheirItemsInOrder) {
  QStringList menus;
  for (QAction* action : window.menuBar()->actions()) menus.push_back(action->text());
  EXPECT_EQ(menus, QStringList({"&File", "&Logbook", "&Help"}));

  std::map<std::string, int> position;
  for (const MenuRow& row : kMenus) {
    SCOPED_TRACE(row.item);
    auto* menu = find<QMenu>(row.menu);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), row.menuCaption);
    const int index = position[row.menu]++;
    ASSERT_LT(index, menu->actions().size());
    QAction* action = menu->actions()[index];
    EXPECT_EQ(action->objectName(), row.item);
    EXPECT_EQ(action->text(), row.caption);
    EXPECT_EQ(action->isSeparator(), std::string(row.item) == "quitSeparator");
    EXPECT_EQ(action->shortcut().toString(), row.shortcut);
    if (row.sameImageAs != nullptr) {
      EXPECT_EQ(ImageOf(action->icon()), ImageOf(find<QToolButton>(row.sameImageAs)->icon()));
    } else {
      EXPECT_TRUE(action->icon().isNull());
    }
  }
  for (const auto& [menu, count] : position)
    EXPECT_EQ(find<QMenu>(menu.c_str())->actions().size(), count) << menu;
}

TEST_F(WindowTest, TheFourImagesDiffer) {
  const char* buttons[] = {"openButton", "closeButton", "exportButton", "viewButton"};
  for (const char* a : buttons)
    for (const char* b : buttons)
      if (a != b) {
        EXPECT_NE(ImageOf(find<QToolButton>(a)->icon()), ImageOf(find<QToolButton>(b)->icon()));
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
  EXPECT_EQ(session.window.historyEdit(), "History");

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
