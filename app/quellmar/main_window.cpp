#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <exception>
#include <utility>

#include "about_box.h"
#include "commands/commands.h"
#include "display_text.h"
#include "dive_list_model.h"
#include "model/program_texts.h"
#include "tool_images.h"
#include "window_style.h"

namespace quellmar {
namespace {

const QString kHistoryEdit = QStringLiteral("History");

}  // namespace

TForm1::TForm1(Session& session, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      session_(session) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromLatin1(kMainWindowTitle));
  setWindowIcon(QIcon(QStringLiteral(":/desktop/quellmar.png")));
  setFont(WindowFont());

  auto* client = Named(new QWidget(this), "ClientArea");
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

  session_.window.setListener(this);
  for (const std::string& line : session_.window.history()) historyAdded(line);
  memoChanged();
  filePanelChanged();
  progressPending_ = true;
  showPending();
}

TForm1::~TForm1() { session_.window.setListener(nullptr); }

void TForm1::buildMenus() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  // Captions carry their mnemonic ("&File": Alt+F opens the menu).
  const auto item = [this](QMenu* menu, const char* name, const char* caption, int image,
                           void (TForm1::*handler)(), QKeySequence shortcut = {}) {
    auto* action = Named(new QAction(QString::fromLatin1(caption), this), name);
    if (image >= 0) action->setIcon(imageList1_[static_cast<std::size_t>(image)]);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
    menu->addAction(action);
  };

  QMenu* file = Named(menuBar()->addMenu(QStringLiteral("&File")), "MFile");
  item(file, "MFile_Open", "&Open CSV", kOpenImage, &TForm1::TBOpenClick, Qt::CTRL | Qt::Key_O);
  item(file, "MFile_Close", "&Close CSV", kCloseImage, &TForm1::TBCloseClick);
  file->addSeparator()->setObjectName(QStringLiteral("N1"));
  item(file, "MFile_quit", "&Quit", -1, &TForm1::MFile_quitClick, Qt::CTRL | Qt::Key_Q);

  QMenu* logbook = Named(menuBar()->addMenu(QStringLiteral("&Logbook")), "MList");
  item(logbook, "MList_html", "HTML &export", kHtmlExportImage, &TForm1::MList_htmlClick,
       Qt::CTRL | Qt::Key_E);
  item(logbook, "List_view", "HTML &view", kHtmlViewImage, &TForm1::List_viewClick,
       Qt::CTRL | Qt::Key_B);

  QMenu* help = Named(menuBar()->addMenu(QStringLiteral("&Help")), "MHelp");
  item(help, "MHelp_about", "&About", -1, &TForm1::MHelp_aboutClick);

  // F10 opens the first menu, as on most desktops; the arrow keys go on from
  // there.
  auto* menuKey = Named(new QAction(this), "MenuKey");
  menuKey->setShortcut(Qt::Key_F10);
  connect(menuKey, &QAction::triggered, this,
          [this, file] { menuBar()->setActiveAction(file->menuAction()); });
  addAction(menuKey);
}

void TForm1::buildToolBar() {
  auto* bar = Named(new QToolBar(centralWidget()), "ToolBar1");
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
                                  int image, void (TForm1::*handler)()) {
    auto* tool = Named(new QToolButton(bar), name);
    tool->setText(QString::fromLatin1(caption));
    tool->setToolTip(QString::fromLatin1(hint));
    tool->setIcon(imageList1_[static_cast<std::size_t>(image)]);
    tool->setIconSize(QSize(16, 16));
    tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tool->setAutoRaise(true);
    tool->setFocusPolicy(Qt::NoFocus);
    tool->setFixedSize(23, 22);
    connect(tool, &QToolButton::clicked, this, handler);
    bar->addWidget(tool);
  };

  separator("ToolButton2");
  button("TBOpen", "Open", "CSV Open", kOpenImage, &TForm1::TBOpenClick);
  button("TBClose", "Close", "CSV Close", kCloseImage, &TForm1::TBCloseClick);
  separator("ToolButton3");
  button("ToolButton1", "Make HTML", "HTML export", kHtmlExportImage, &TForm1::MList_htmlClick);
  button("ToolButton4", "", "Html preview", kHtmlViewImage, &TForm1::List_viewClick);
}

void TForm1::buildControls() {
  QWidget* client = centralWidget();

  auto* information =
      Named(new QGroupBox(QStringLiteral(" Logbook informations "), client), "GroupBox2");
  information->setGeometry(8, 32, 337, 129);
  memo_ = Named(new QPlainTextEdit(information), "Memo_adatok");
  memo_->setGeometry(8, 24, 321, 97);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setTabChangesFocus(true);  // Tab leads on to the next control, as everywhere else

  auto* options = Named(new QGroupBox(QStringLiteral(" HTML options "), client), "GroupBox1");
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
  note_ =
      option("CBNote", "&Note", "Check this for insert dive notes to the html", 24, chosen.note);
  gif_ = option("CBGIF", "Dive profil &GIF", "Check this for the profile GIF pictures", 40,
                chosen.gif);
  px_ = Named(new QLineEdit(DisplayText(chosen.px), options), "PX");
  px_->setGeometry(8, 58, 25, 21);
  px_->setToolTip(QStringLiteral("1 entry (depent of the computer settings) 10-20-30 sec"));
  PlacedLabel("Label1", QStringLiteral("&pixel / profile entry"), 40, 64, options)->setBuddy(px_);
  // The export reads the options whenever a tag needs them.
  connect(note_, &QCheckBox::toggled, this, [this](bool on) { session_.window.options.note = on; });
  connect(gif_, &QCheckBox::toggled, this, [this](bool on) { session_.window.options.gif = on; });
  connect(px_, &QLineEdit::textChanged, this,
          [this](const QString& text) { session_.window.options.px = AnsiText(text); });

  auto* diveLabel = PlacedLabel("Label2", QStringLiteral("Logged &dives:"), 8, 168, client);
  diveModel_ = new DiveListModel(session_.window, this);
  diveList_ = Named(new QListView(client), "LB_dives");
  diveLabel->setBuddy(diveList_);
  diveList_->setGeometry(8, 184, 529, 153);
  diveList_->setModel(diveModel_);
  diveList_->setSelectionMode(QAbstractItemView::SingleSelection);
  diveList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  diveList_->setUniformItemSizes(true);  // keeps a list of any length fast

  history_ = Named(new QComboBox(client), "CB_history");
  history_->setGeometry(0, 344, 543, 21);
  history_->setEditable(true);
  history_->setInsertPolicy(QComboBox::NoInsert);  // only the program adds lines
  history_->setEditText(kHistoryEdit);
  history_->installEventFilter(this);
  connect(history_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { session_.window.setHistoryEdit(AnsiText(text)); });
}

void TForm1::buildStatusBar() {
  auto* bar = Named(new QStatusBar(centralWidget()), "StatusBar1");
  bar->setGeometry(0, 365, 542, 19);
  bar->setSizeGripEnabled(false);
  // The panels stand side by side at fixed places, with the bar's whole height
  // but its top and bottom line; the bar's own layout would leave less.
  int left = 0;
  const auto panel = [bar, &left](const char* name, int width, const QString& text) {
    auto* label = Named(new QLabel(text, bar), name);
    label->setGeometry(left, 1, width, bar->height() - 2);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setIndent(2);
    FitCaption(label, label->size());
    left += width + 2;
    return label;
  };
  panel("CreditPanel", 90, QString::fromLatin1(kCreditPanelText));
  filePanel_ = panel("FilePanel", 200, {});

  progressBar_ = Named(new QProgressBar(centralWidget()), "ProgressBar1");
  progressBar_->setGeometry(352, 370, 186, 10);
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);
  progressBar_->raise();  // over the empty right-hand part of the status bar
}

// Handlers.

template <typename Command>
void TForm1::runCommand(Command command) {
  const CommandRunner::End end = commands_.run(command);
  if (end == CommandRunner::End::Ignored) return;
  showPending();
  if (end == CommandRunner::End::CloseNow) close();
}

void TForm1::TBOpenClick() {
  runCommand([this] { OpenCsvCommand(session_); });
}

void TForm1::MFile_quitClick() { close(); }

void TForm1::TBCloseClick() {
  runCommand([this] { CloseCsvCommand(session_); });
}

void TForm1::CB_historyExit() {
  history_->setEditText(kHistoryEdit);
  session_.window.setHistoryEdit(kHistoryEdit.toStdString());
}

void TForm1::MList_htmlClick() {
  runCommand([this] { ExportHtmlCommand(session_); });
}

void TForm1::MHelp_aboutClick() {
  if (aboutBox_ != nullptr) aboutBox_->exec();
}

void TForm1::FormShow() {
  if (aboutBox_ != nullptr) aboutBox_->exec();
  if (startFile_) {
    const std::string path = *std::exchange(startFile_, std::nullopt);
    runCommand([this, &path] { OpenCsvPathCommand(session_, path); });
  }
}

void TForm1::List_viewClick() {
  runCommand([this] { ViewHtmlCommand(session_); });
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Every time the window is shown (not when it comes back from the task
  // bar), the about dialog is shown over it, once the window is on screen.
  if (!event->spontaneous())
    QMetaObject::invokeMethod(this, &TForm1::FormShow, Qt::QueuedConnection);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // A close asked for while an import or export runs waits for its end.
  if (!commands_.mayClose()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);  // nothing is saved or asked
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == history_ && event->type() == QEvent::FocusOut) {
    // Dropping the list down or switching to another program does not leave
    // the box.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    bool inside = false;
    for (QWidget* now = QApplication::focusWidget(); now != nullptr && !inside;
         now = now->parentWidget())
      inside = now == history_;
    if (!inside && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
      CB_historyExit();
  }
  return QMainWindow::eventFilter(watched, event);
}

// The window model's changes.

void TForm1::memoChanged() {
  const auto& lines = session_.window.memo();
  if (lines.size() == memoLinesShown_ + 1 && !lines.empty()) {
    memo_->appendPlainText(DisplayText(lines.back()));
  } else {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) shown.push_back(DisplayText(line));
    memo_->setPlainText(shown.join(QLatin1Char('\n')));
  }
  memoLinesShown_ = lines.size();
}

void TForm1::diveListChanged() {
  diveModel_->reload();
  selectionPending_ = false;
}

void TForm1::diveSelected(int) {
  selectionPending_ = true;
  followWork();
}

void TForm1::historyAdded(const std::string& line) {
  // Adding a line must not change what the closed box shows.
  const QSignalBlocker quiet(history_);
  const QString edit = history_->currentText();
  history_->addItem(DisplayText(line));
  history_->setEditText(edit);
}

void TForm1::filePanelChanged() {
  // A path longer than the panel loses its middle, not its file name; the
  // hint shows it whole.
  const QString text = DisplayText(session_.window.filePanel());
  filePanel_->setText(filePanel_->fontMetrics().elidedText(
      text, Qt::ElideMiddle,
      filePanel_->width() - 2 * filePanel_->frameWidth() - filePanel_->indent()));
  filePanel_->setToolTip(text);
}

void TForm1::progressChanged() {
  progressPending_ = true;
  followWork();
}

void TForm1::followWork() {
  const CommandRunner::Show show = commands_.onChange();
  if (show == CommandRunner::Show::Later) return;
  showPending();
  // During a command: repaints what changed since the last time, and whatever
  // the desktop asks for, without taking user input.
  if (show == CommandRunner::Show::Repaint)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm1::showPending() {
  if (progressPending_) {
    progressPending_ = false;
    const BarRange bar = ProgressBarRange(session_.window);
    progressBar_->setRange(0, bar.maximum);
    progressBar_->setValue(bar.position);
  }
  if (selectionPending_) {
    selectionPending_ = false;
    const int index = session_.window.selectedDive();
    if (index >= 0 && index < diveModel_->rowCount())
      diveList_->setCurrentIndex(diveModel_->index(index));
    else
      diveList_->clearSelection();
  }
}

}  // namespace quellmar
