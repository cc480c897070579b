#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
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
#include "basic/display_text.h"
#include "commands/caption_fit.h"
#include "commands/program_texts.h"
#include "commands/tool_images.h"
#include "dive_list_model.h"
#include "window_style.h"

namespace quellmar {
namespace {

QString Shown(const std::string& text) { return QString::fromStdString(text); }

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
  setWindowTitle(QString::fromLatin1(kMainWindowTitle));
  setWindowIcon(QIcon(QStringLiteral(":/desktop/quellmar.png")));
  setFont(WindowFont());

  auto* client = Named(new QWidget(this), "clientArea");
  client->setFixedSize(542, 384);
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
}

void MainWindow::buildMenus() {
  menuBar()->setObjectName(QStringLiteral("menuBar"));
  // Captions carry their mnemonic ("&File": Alt+F opens the menu).
  const auto item = [this](QMenu* menu, const char* name, const char* caption, const QIcon& icon,
                           Command command, QKeySequence shortcut = {}) {
    auto* action = Named(new QAction(icon, QString::fromUtf8(caption), this), name);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, command] { (*controller_.*command)(); });
    menu->addAction(action);
  };
  using C = MainWindowController;

  QMenu* file = Named(menuBar()->addMenu(QStringLiteral("&File")), "fileMenu");
  item(file, "openCsvItem", "&Open CSV", ToolIcon(ToolImage::Open), &C::openCsv,
       Qt::CTRL | Qt::Key_O);
  item(file, "closeCsvItem", "&Close CSV", ToolIcon(ToolImage::Close), &C::closeCsv);
  file->addSeparator()->setObjectName(QStringLiteral("quitSeparator"));
  item(file, "quitItem", "&Quit", {}, &C::quit, Qt::CTRL | Qt::Key_Q);

  QMenu* logbook = Named(menuBar()->addMenu(QStringLiteral("&Logbook")), "logbookMenu");
  item(logbook, "exportHtmlItem", "HTML &export", ToolIcon(ToolImage::HtmlExport), &C::exportHtml,
       Qt::CTRL | Qt::Key_E);
  item(logbook, "viewHtmlItem", "HTML &view", ToolIcon(ToolImage::HtmlView), &C::viewHtml,
       Qt::CTRL | Qt::Key_B);
  item(logbook, "exportUddfItem", "&UDDF export\u2026", {}, &C::exportUddf, Qt::CTRL | Qt::Key_U);

  QMenu* help = Named(menuBar()->addMenu(QStringLiteral("&Help")), "helpMenu");
  item(help, "aboutItem", "&About", {}, &C::showAbout);

  // F10 opens the first menu, as on most desktops; the arrow keys go on from
  // there.
  auto* menuKey = Named(new QAction(this), "menuKey");
  menuKey->setShortcut(Qt::Key_F10);
  connect(menuKey, &QAction::triggered, this,
          [this, file] { menuBar()->setActiveAction(file->menuAction()); });
  addAction(menuKey);
}

void MainWindow::buildToolBar() {
  auto* bar = Named(new QToolBar(centralWidget()), "toolBar");
  bar->setGeometry(0, 0, 542, 29);
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(16, 16));

  const auto separator = [bar](const char* name) {
    auto* gap = Named(new QFrame(bar), name);
    gap->setFrameShape(QFrame::VLine);
    gap->setFrameShadow(QFrame::Sunken);
    gap->setFixedSize(8, 22);
    bar->addWidget(gap);
  };
  const auto button = [this, bar](const char* name, const char* caption, const char* hint,
                                  ToolImage image, Command command) {
    auto* tool = Named(new QToolButton(bar), name);
    tool->setText(QString::fromLatin1(caption));
    tool->setToolTip(QString::fromLatin1(hint));
    tool->setIcon(ToolIcon(image));
    tool->setIconSize(QSize(16, 16));
    tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tool->setAutoRaise(true);
    tool->setFocusPolicy(Qt::NoFocus);
    tool->setFixedSize(23, 22);
    connect(tool, &QToolButton::clicked, this, [this, command] { (*controller_.*command)(); });
    bar->addWidget(tool);
  };
  using C = MainWindowController;

  separator("fileToolSeparator");
  button("openButton", "Open", "CSV Open", ToolImage::Open, &C::openCsv);
  button("closeButton", "Close", "CSV Close", ToolImage::Close, &C::closeCsv);
  separator("htmlToolSeparator");
  button("exportButton", "Make HTML", "HTML export", ToolImage::HtmlExport, &C::exportHtml);
  button("viewButton", "", "Html preview", ToolImage::HtmlView, &C::viewHtml);
}

void MainWindow::buildControls() {
  QWidget* client = centralWidget();

  auto* info = Named(new QGroupBox(QStringLiteral(" Logbook informations "), client), "infoGroup");
  info->setGeometry(8, 32, 337, 129);
  infoMemo_ = Named(new QPlainTextEdit(info), "infoMemo");
  infoMemo_->setGeometry(8, 24, 321, 97);
  infoMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  infoMemo_->setTabChangesFocus(true);  // Tab leads on to the next control, as everywhere else

  auto* options = Named(new QGroupBox(QStringLiteral(" HTML options "), client), "optionsGroup");
  options->setGeometry(352, 32, 185, 129);
  const auto option = [options](const char* name, const char* caption, const char* hint, int top,
                                bool checked) {
    auto* box = Named(new QCheckBox(QString::fromLatin1(caption), options), name);
    box->setGeometry(8, top, 169, 17);
    box->setToolTip(QString::fromLatin1(hint));
    box->setChecked(checked);
    FitCaption(box, RoomToTheRight(box));
    return box;
  };
  ExportOptions& chosen = session_.window.options;
  auto* note =
      option("noteBox", "&Note", "Check this for insert dive notes to the html", 24, chosen.note);
  auto* gif = option("gifBox", "Dive profil &GIF", "Check this for the profile GIF pictures", 40,
                     chosen.gif);
  auto* pixels = Named(new QLineEdit(Shown(Utf8FromWindows1252(chosen.px)), options), "pixelsEdit");
  pixels->setGeometry(8, 58, 25, 21);
  pixels->setToolTip(QStringLiteral("1 entry (depent of the computer settings) 10-20-30 sec"));
  PlacedLabel("pixelsLabel", QStringLiteral("&pixel / profile entry"), 40, 64, options)
      ->setBuddy(pixels);
  // The export reads the options whenever a tag needs them.
  connect(note, &QCheckBox::toggled, this, [this](bool on) { session_.window.options.note = on; });
  connect(gif, &QCheckBox::toggled, this, [this](bool on) { session_.window.options.gif = on; });
  connect(pixels, &QLineEdit::textChanged, this, [this](const QString& text) {
    session_.window.options.px = Windows1252FromUtf8(text.toStdString());
  });

  auto* diveLabel = PlacedLabel("diveListLabel", QStringLiteral("Logged &dives:"), 8, 168, client);
  diveListModel_ = new DiveListModel(session_.window, this);
  diveList_ = Named(new QListView(client), "diveList");
  diveLabel->setBuddy(diveList_);
  diveList_->setGeometry(8, 184, 529, 153);
  diveList_->setModel(diveListModel_);
  diveList_->setSelectionMode(QAbstractItemView::SingleSelection);
  diveList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  diveList_->setUniformItemSizes(true);  // keeps a list of any length fast

  historyBox_ = Named(new QComboBox(client), "historyBox");
  historyBox_->setGeometry(0, 344, 543, 21);
  historyBox_->setEditable(true);
  historyBox_->setInsertPolicy(QComboBox::NoInsert);  // only the program adds lines
  historyBox_->installEventFilter(this);
  connect(historyBox_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { controller_->historyTyped(text.toStdString()); });
}

void MainWindow::buildStatusBar() {
  statusBar_ = Named(new QStatusBar(centralWidget()), "statusBar");
  statusBar_->setGeometry(0, 365, 542, 19);
  statusBar_->setSizeGripEnabled(false);
  // The panels stand side by side at fixed places, with the bar's whole height
  // but its top and bottom line; the bar's own layout would leave less.
  int left = 0;
  const auto panel = [this, &left](const char* name, int width, const QString& text) {
    auto* label = Named(new QLabel(text, statusBar_), name);
    label->setGeometry(left, 1, width, statusBar_->height() - 2);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setIndent(2);
    FitCaption(label, label->size());
    left += width + 2;
    return label;
  };
  panel("creditPanel", 90, QString::fromLatin1(kCreditPanelText));
  filePanel_ = panel("filePanel", 200, {});

  progressBar_ = Named(new QProgressBar(centralWidget()), "progressBar");
  progressBar_->setGeometry(352, 370, 186, 10);
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
    bool inside = false;
    for (QWidget* now = QApplication::focusWidget(); now != nullptr && !inside;
         now = now->parentWidget())
      inside = now == historyBox_;
    if (!inside && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
      controller_->historyLeft();
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

void MainWindow::showFilePanel(const std::string& text) {
  // A path longer than the panel loses its middle; the hint shows it whole.
  const QFontMetrics metrics = filePanel_->fontMetrics();
  const int room = filePanel_->width() - 2 * filePanel_->frameWidth() - filePanel_->indent();
  filePanel_->setText(Shown(ElideMiddle(text, room, [&metrics](const std::string& shown) {
    return metrics.horizontalAdvance(Shown(shown));
  })));
  filePanel_->setToolTip(Shown(text));
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

void MainWindow::closeWindow() { close(); }

}  // namespace quellmar
