// Clicks that reach the commands, and what the window then shows: the memo,
// the dive list, the history, the file panel and the progress bar follow the
// window model, the about dialog comes up at start, and long work repaints.
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <thread>

#include "about_dialog.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;

class WorkflowTest : public WindowTest {
 protected:
  QStringList memoLines() {
    return find<QPlainTextEdit>("infoMemo")->toPlainText().split(QLatin1Char('\n'));
  }
  QStringList diveLines() {
    const QAbstractItemModel* model = find<QListView>("diveList")->model();
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row)
      lines.push_back(model->index(row, 0).data().toString());
    return lines;
  }
  QStringList historyLines() {
    auto* history = find<QComboBox>("historyBox");
    QStringList lines;
    for (int i = 0; i < history->count(); ++i) lines.push_back(history->itemText(i));
    return lines;
  }
};

QStringList Shown(const std::vector<std::string>& lines) {
  QStringList shown;
  for (const std::string& line : lines) shown.push_back(QString::fromStdString(line));
  return shown;
}

// An export in a folder whose name is not plain ASCII: its path reaches the
// controls as the same characters.
TEST_F(WorkflowTest, OpenShowsTheModelInTheControls) {
  const fs::path path = WriteSampleExport(dir, "Pr\xC3\xA9squ'\xC3\xAEle");
  platform.nextChoice = path;
  showActive();
  QTest::mouseClick(find<QToolButton>("openButton"), Qt::LeftButton);
  ASSERT_TRUE(session.logbook.has_value());

  EXPECT_EQ(memoLines(), Shown(session.window.memo()));
  EXPECT_EQ(memoLines()[1], QString::fromUtf8(path.c_str()));
  EXPECT_EQ(diveLines(), Shown(session.window.diveList()));
  EXPECT_EQ(historyLines(), Shown(session.window.history()));
  // The panel shows a long path shortened; its hint holds it whole.
  EXPECT_TRUE(
      find<QLabel>("filePanel")->toolTip().contains(QStringLiteral(u"Pr\u00E9squ'\u00EEle")));
  EXPECT_EQ(find<QProgressBar>("progressBar")->maximum(), static_cast<int>(fs::file_size(path)));
  EXPECT_EQ(find<QProgressBar>("progressBar")->value(), 0);
}

// The bundled sample export, with the bundled templates, as a new user meets
// them in the runnable folder: the export selects each dive as it writes it.
TEST_F(WorkflowTest, BundledSampleExportsAndTheLastDiveStaysSelected) {
  const fs::path source = QUELLMAR_SOURCE_DIR;
  fs::copy(source / "examples", dir.path() / "examples");
  fs::remove_all(programDir / "html");
  fs::copy(source / "resources" / "html", programDir / "html");
  fs::copy(source / "resources" / "pict", programDir / "pict");
  open(dir.path() / "examples" / "logbook.csv");
  ASSERT_TRUE(session.logbook.has_value());

  platform.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
  QTest::mouseClick(find<QToolButton>("exportButton"), Qt::LeftButton);
  EXPECT_TRUE(platform.errors.empty());
  EXPECT_EQ(platform.opened.size(), 1u);
  EXPECT_GT(fs::file_size(programDir / "Output" / "logbook.html"), 0u);
  auto* list = find<QListView>("diveList");
  EXPECT_EQ(list->currentIndex().row(), static_cast<int>(session.window.diveList().size()) - 1);
  EXPECT_TRUE(list->selectionModel()->isSelected(list->currentIndex()));
}

// The about dialog comes up over the main window at every start.
TEST_F(WorkflowTest, AboutDialogIsShownAtStartBeforeTheWindowCanBeUsed) {
  AboutDialog about(platform, &window);
  window.setAboutDialog(&about);
  bool shownOverWindow = false;
  ModalAnswerer user([&](QWidget* box) {
    shownOverWindow = box == &about && window.isVisible() && about.isModal();
    PressKey(box, Qt::Key_Return);
  });
  window.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return user.answered() && !about.isVisible(); }));
  EXPECT_TRUE(shownOverWindow);
}

// A user who takes a while in the file dialog: the import's work begins late
// in its command, and the window follows it from its first step.
class SlowChoicePlatform : public TestPlatform {
 public:
  std::optional<fs::path> chooseCsvFile(const fs::path& folder) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    return TestPlatform::chooseCsvFile(folder);
  }
};

// The maximum the progress bar had at each of its paints.
class BarPaints : public QObject {
 public:
  std::vector<int> maxima;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      maxima.push_back(static_cast<QProgressBar*>(watched)->maximum());
    return false;
  }
};

TEST(LongCommandTest, RepaintsTheProgressBarWhileTheCommandRuns) {
  TempDir dir;
  const fs::path path = WriteSampleExport(dir, "export");
  const int size = static_cast<int>(fs::file_size(path));
  ASSERT_NE(size, 100);  // the bar's maximum before the import
  SlowChoicePlatform platform;
  platform.nextChoice = path;
  Session session(platform);
  MainWindow window(session);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QCoreApplication::processEvents();
  auto* bar = window.findChild<QProgressBar*>(QStringLiteral("progressBar"));
  ASSERT_NE(bar, nullptr);
  BarPaints paints;
  bar->installEventFilter(&paints);
  window.controller().openCsv();  // nothing else processes events until it returns
  bar->removeEventFilter(&paints);
  EXPECT_GE(std::ranges::count(paints.maxima, size), 1) << "paints: " << paints.maxima.size();
  EXPECT_TRUE(session.logbook.has_value());
}

}  // namespace
}  // namespace quellmar::testing
