#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "about_dialog.h"
#include "dive_list_model.h"
#include "window/tool_images.h"
#include "window/window_layout.h"
#include "window_style.h"

namespace quellmar {
namespace {

QString Shown(const std::string& text) { return QString::fromStdString(text); }

void SetPlace(QWidget* widget, Place place) {
  widget->setGeometry(place.left, place.top, place.width, place.height);
}

QIcon ToolIcon(ToolImage image) {
  const ToolImagePixels pixels = DrawToolImage(image);
  return QIcon(QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(pixels.data()),
                                         kToolImageSize, kToolImageSize, QImage::Format_ARGB32)));
}

}  // namespace

MainWindow::MainWindow(Session& session, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      session_(session) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QString::fromUtf8(kMainWindowTitle));
  setWindowIcon(QIcon(QStringLiteral(":/desktop/quellmar.png")));
  setFont(WindowFont());

  auto* client = Named(new QWidget(this), "clientArea");
  client->setFixedSize(kMainWindowSize.width, kMainWindowSize.height);
  setCentralWidget(client);

  buildMenus();
  buildToolBar();
  buildControls();
  buildStatusBar();

  // Fixed size, centred on the desktop.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  if (const QScreen* desktop = screen())
    move(desktop->availableGeometry().center() - QPoint(width() / 2, height() / 2));

  controller_.emplace(session_, static_cast<MainWindowView&>(*this));
  controller_->filePanelMeasured(filePanel_->width(), 1.0, [this](const std::string& text) {
    return filePanel_->fontMetrics().horizontalAdvance(Shown(text));
  });
}

void MainWindow::buildMenus() {
  menuBar()->setObjectName(QStringLiteral("menuBar"));
  for (const Menu& menu : kMenus) {
    QMenu* shown = Named(menuBar()->addMenu(QString::fromUtf8(menu.caption)), menu.name);
    for (const MenuItem& item : menu.items) {
      if (item.separator()) {
        Named(shown->addSeparator(), item.name);
        continue;
      }
      auto* action = Named(new QAction(QString::fromUtf8(item.caption), this), item.name);
      if (item.image) action->setIcon(ToolIcon(*item.image));
      if (item.key != 0) action->setShortcut(Qt::CTRL | static_cast<Qt::Key>(item.key));
      connect(action, &QAction::triggered, this,
              [this, command = item.command] { controller_->perform(command); });
      shown->addAction(action);
    }
  }

  auto* menuKey = Named(new QAction(this), "menuKey");
  menuKey->setShortcut(Qt::Key_F10);
  connect(menuKey, &QAction::triggered, this,
          [this] { controller_->perform(WindowCommand::OpenMenu); });
  addAction(menuKey);
}

void MainWindow::buildToolBar() {
  auto* bar = Named(new QToolBar(centralWidget()), "toolBar");
  SetPlace(bar, kToolBarPlace);
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(kToolImageSize, kToolImageSize));
  for (const ToolButton& tool : kToolBar) {
    if (tool.separator()) {
      auto* gap = Named(new QFrame(bar), tool.name);
      gap->setFrameShape(QFrame::VLine);
      gap->setFrameShadow(QFrame::Sunken);
      gap->setFixedSize(kToolSeparatorWidth, kToolButtonSize.height);
      bar->addWidget(gap);
      continue;
    }
    auto* button = Named(new QToolButton(bar), tool.name);
    button->setText(QString::fromUtf8(tool.caption));
    button->setToolTip(QString::fromUtf8(tool.hint));
    button->setIcon(ToolIcon(tool.image));
    button->setIconSize(QSize(kToolImageSize, kToolImageSize));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(kToolButtonSize.width, kToolButtonSize.height);
    connect(button, &QToolButton::clicked, this,
            [this, command = tool.command] { controller_->perform(command); });
    bar->addWidget(button);
  }
}

void MainWindow::buildControls() {
  const auto controls = MakeControls(kMainWindowControls, centralWidget());
  infoMemo_ = static_cast<QPlainTextEdit*>(controls.at(ControlRole::InfoMemo));
  diveList_ = static_cast<QListView*>(controls.at(ControlRole::DiveList));
  historyBox_ = static_cast<QComboBox*>(controls.at(ControlRole::HistoryBox));
  noteBox_ = static_cast<QCheckBox*>(controls.at(ControlRole::NoteBox));
  gifBox_ = static_cast<QCheckBox*>(controls.at(ControlRole::GifBox));
  pixelsEdit_ = static_cast<QLineEdit*>(controls.at(ControlRole::PixelsEdit));
  connect(noteBox_, &QCheckBox::toggled, this, [this](bool on) { controller_->noteChanged(on); });
  connect(gifBox_, &QCheckBox::toggled, this, [this](bool on) { controller_->gifChanged(on); });
  connect(pixelsEdit_, &QLineEdit::textChanged, this,
          [this](const QString& text) { controller_->pixelsTyped(text.toStdString()); });

  diveListModel_ = new DiveListModel(session_.window, this);
  diveList_->setModel(diveListModel_);
  historyBox_->installEventFilter(this);
  connect(historyBox_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { controller_->historyTyped(text.toStdString()); });
}

void MainWindow::buildStatusBar() {
  statusBar_ = Named(new QStatusBar(centralWidget()), "statusBar");
  SetPlace(statusBar_, kStatusBarPlace);
  statusBar_->setSizeGripEnabled(false);
  // The panels stand side by side at fixed places, with the bar's whole height
  // but its top and bottom line; the bar's own layout would leave less.
  int left = 0;
  const auto panel = [this, &left](const StatusPanel& shown) {
    auto* label = Named(new QLabel(QString::fromUtf8(shown.text), statusBar_), shown.name);
    label->setGeometry(left, 1, shown.width, statusBar_->height() - 2);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setIndent(2);
    left += shown.width + 2;
    return label;
  };
  QLabel* credit = panel(kCreditPanel);
  filePanel_ = panel(kFilePanel);
  QFont font = credit->font();
  font.setPointSizeF(StatusBarPoints({credit->width(), credit->height()}, 1.0, [&](double points) {
    font.setPointSizeF(points);
    const QFontMetrics metrics(font);
    return Extent{metrics.horizontalAdvance(credit->text()), metrics.height()};
  }));
  credit->setFont(font);
  filePanel_->setFont(font);

  progressBar_ = Named(new QProgressBar(centralWidget()), "progressBar");
  SetPlace(progressBar_, kProgressBarPlace);
  progressBar_->setTextVisible(false);
  progressBar_->raise();  // over the empty right-hand part of the status bar
}

// Events.

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Every time the window is shown (not when it comes back from the task
  // bar), once it is on screen.
  if (!event->spontaneous())
    QMetaObject::invokeMethod(
        this, [this] { controller_->windowShown(); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!controller_->mayClose()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == historyBox_ && event->type() == QEvent::FocusOut) {
    // Dropping the list down or switching to another program does not leave
    // the box.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    FocusTo to = reason == Qt::PopupFocusReason          ? FocusTo::ItsList
                 : reason == Qt::ActiveWindowFocusReason ? FocusTo::OtherProgram
                                                         : FocusTo::OtherControl;
    for (QWidget* now = QApplication::focusWidget(); now != nullptr; now = now->parentWidget())
      if (now == historyBox_) to = FocusTo::ThisBox;
    controller_->historyLeft(to);
  }
  return QMainWindow::eventFilter(watched, event);
}

// Drawing.

void MainWindow::showMemo(const std::vector<std::string>& lines) {
  QStringList shown;
  shown.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) shown.push_back(Shown(line));
  infoMemo_->setPlainText(shown.join(QLatin1Char('\n')));
}

void MainWindow::appendMemoLine(const std::string& line) {
  infoMemo_->appendPlainText(Shown(line));
}

void MainWindow::showDiveList(std::size_t) { diveListModel_->reload(); }

void MainWindow::showSelectedDive(int index) {
  if (index >= 0)
    diveList_->setCurrentIndex(diveListModel_->index(index));
  else
    diveList_->clearSelection();
}

void MainWindow::addHistoryLine(const std::string& line) {
  const QSignalBlocker quiet(historyBox_);
  const QString edit = historyBox_->currentText();
  historyBox_->addItem(Shown(line));
  historyBox_->setEditText(edit);
}

void MainWindow::showHistoryText(const std::string& text) {
  const QSignalBlocker quiet(historyBox_);
  historyBox_->setEditText(Shown(text));
}

void MainWindow::showOptions(const ShownOptions& options) {
  const QSignalBlocker quietNote(noteBox_), quietGif(gifBox_), quietPixels(pixelsEdit_);
  noteBox_->setChecked(options.note);
  gifBox_->setChecked(options.gif);
  pixelsEdit_->setText(Shown(options.pixels));
}

void MainWindow::showFilePanel(const std::string& shown, const std::string& whole) {
  filePanel_->setText(Shown(shown));
  filePanel_->setToolTip(Shown(whole));
}

void MainWindow::showProgress(BarRange bar) {
  progressBar_->setRange(0, bar.maximum);
  progressBar_->setValue(bar.position);
}

// The status bar's hint, so that both panels keep their texts.
void MainWindow::showProgramFolder(const std::string& text) { statusBar_->setToolTip(Shown(text)); }

void MainWindow::repaintNow() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::showAboutDialog() {
  if (aboutDialog_ != nullptr) aboutDialog_->exec();
}

void MainWindow::openMenu() { menuBar()->setActiveAction(menuBar()->actions().front()); }

void MainWindow::closeWindow() { close(); }

}  // namespace quellmar
