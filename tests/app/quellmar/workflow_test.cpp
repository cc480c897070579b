// The commands on real exports, as the window shows them: the memo, the dive
// list, the history, the file panel, the progress bar and the boxes.
#include <QAction>
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

#include "about_box.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

using ::quellmar::testing::PrintTo;

namespace fs = std::filesystem;

const std::string kImported = "CSV file imported.\n\rNext step: HTML Export";

class WorkflowTest : public WindowTest {
 protected:
  std::vector<std::string> memoLines() {
    const QString text = find<QPlainTextEdit>("Memo_adatok")->toPlainText();
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
    return lines;
  }
  std::vector<std::string> diveLines() {
    const QAbstractItemModel* model = find<QListView>("LB_dives")->model();
    std::vector<std::string> lines;
    for (int row = 0; row < model->rowCount(); ++row)
      lines.push_back(model->index(row, 0).data().toString().toStdString());
    return lines;
  }
  std::vector<std::string> historyLines() {
    auto* history = find<QComboBox>("CB_history");
    std::vector<std::string> lines;
    for (int i = 0; i < history->count(); ++i) lines.push_back(history->itemText(i).toStdString());
    return lines;
  }
  // The panel shows a long path shortened; its hint holds it whole.
  std::string filePanel() { return find<QLabel>("FilePanel")->toolTip().toStdString(); }
  QProgressBar* progressBar() { return find<QProgressBar>("ProgressBar1"); }
  std::vector<std::string> sampleList() {
    return std::vector<std::string>(std::begin(kSampleDiveList), std::end(kSampleDiveList));
  }
};

std::vector<std::string> Summary() {
  return {"Total dive time: 01:25:25", "Average dive time: 00:28:28", "SAC: 18L",
          "Maximal depth: 32m", "3 logged dives."};
}

template <typename T>
std::vector<T> Joined(std::vector<T> a, const std::vector<T>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(WorkflowTest, OpenShowsTheSummaryTheSortedDivesAndTheHistory) {
  const fs::path path = WriteSampleExport(dir, "export");
  const std::string p = path.string();
  open(path);
  EXPECT_EQ(memoLines(), Joined({"Opened CSV file:", p}, Summary()));
  EXPECT_EQ(diveLines(), sampleList());
  EXPECT_EQ(historyLines(),
            std::vector<std::string>(
                {"Logbook Import started.", p + " CSV file opened.", "Logbook Import finished."}));
  EXPECT_EQ(find<QComboBox>("CB_history")->currentText(), "History");
  EXPECT_EQ(filePanel(), p);
  EXPECT_EQ(progressBar()->maximum(), static_cast<int>(fs::file_size(path)));
  EXPECT_EQ(progressBar()->value(), 0);
  EXPECT_EQ(platform.messages,
            std::vector<ShownMessage>({{MessageKind::Information, kImported, MessageButtons::Ok}}));
  EXPECT_TRUE(session.logbook.loaded);
}

TEST_F(WorkflowTest, OpenWhileLoadedClosesTheFirstLogbook) {
  const fs::path first = WriteSampleExport(dir, "first");
  const fs::path second = WriteSampleExport(dir, "second");
  open(first);
  open(second);
  EXPECT_EQ(memoLines(), Summary());  // closing cleared the memo's first two lines
  EXPECT_EQ(diveLines(), sampleList());
  const auto history = historyLines();
  ASSERT_EQ(history.size(), 7u);
  EXPECT_EQ(history[3], "Logbook Import started.");
  EXPECT_EQ(history[4], "CSV file Closed");
  EXPECT_EQ(history[5], second.string() + " CSV file opened.");
  EXPECT_EQ(filePanel(), second.string());
}

TEST_F(WorkflowTest, CancelledChoiceChangesNothing) {
  open(WriteSampleExport(dir, "export"));
  const auto memo = memoLines();
  const auto history = historyLines();
  platform.nextChoice.reset();
  window.TBOpenClick();
  EXPECT_EQ(memoLines(), memo);
  EXPECT_EQ(diveLines(), sampleList());
  EXPECT_EQ(historyLines(), history);
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(WorkflowTest, CloseEmptiesTheWindow) {
  const fs::path path = WriteSampleExport(dir, "export");
  open(path);
  find<QAction>("MFile_Close")->trigger();
  EXPECT_EQ(memoLines(), std::vector<std::string>());
  EXPECT_EQ(diveLines(), std::vector<std::string>());
  EXPECT_EQ(historyLines().back(), "CSV file Closed");
  EXPECT_EQ(filePanel(), "No CSV file");
  EXPECT_FALSE(session.logbook.loaded);

  const auto history = historyLines();
  find<QAction>("MFile_Close")->trigger();  // nothing loaded: nothing happens
  EXPECT_EQ(historyLines(), history);
}

// Each failure of the import, with and without a logbook loaded before it.
enum class Stage { BeforeClose, AfterClose, Loads };

struct FailureRow {
  const char* name;
  std::function<fs::path(const TempDir&)> make;  // the export's main file
  Stage stage;                                   // where the import stops
  std::vector<std::string> warnings;
  std::vector<std::string> history;  // after "Logbook Import started."; "@" is the path
};

fs::path SampleWithout(const TempDir& dir, const char* suffix) {
  const fs::path path = WriteSampleExport(dir, "bad");
  fs::remove(dir.path() / "bad" / (std::string("logbook") + suffix));
  return path;
}

fs::path SampleWithFolderFor(const TempDir& dir, const char* suffix) {
  const fs::path path = SampleWithout(dir, suffix);
  fs::create_directory(dir.path() / "bad" / (std::string("logbook") + suffix));
  return path;
}

const FailureRow kFailures[] = {
    {"MainFileMissing",
     [](const TempDir& d) { return d.path() / "bad" / "logbook.csv"; },
     Stage::BeforeClose,
     {"File access error"},
     {"@ CSV file access error!"}},
    {"DgeMissing",
     [](const TempDir& d) { return SampleWithout(d, "$DGE.CSV"); },
     Stage::BeforeClose,
     {"Secondary CSV file access error"},
     {"@ Secondary CSV file access error!"}},
    {"NoteMissing",
     [](const TempDir& d) { return SampleWithout(d, "$NOT.CSV"); },
     Stage::BeforeClose,
     {"Secondary CSV file access error"},
     {"@ Secondary CSV file access error!"}},
    {"ProfileMissing",
     [](const TempDir& d) { return SampleWithout(d, "$PRO.CSV"); },
     Stage::BeforeClose,
     {"Secondary CSV file access error"},
     {"@ Secondary CSV file access error!"}},
    {"NoteUnreadable",
     [](const TempDir& d) { return SampleWithFolderFor(d, "$NOT.CSV"); },
     Stage::Loads,
     {"NOTE File access error"},
     {"@ NOTE file access error!", "@ CSV file opened.", "Logbook Import finished."}},
    {"ProfileUnreadable",
     [](const TempDir& d) { return SampleWithFolderFor(d, "$PRO.CSV"); },
     Stage::Loads,
     {"PROFILE File access error"},
     {"@ PROFILE file access error!", "@ CSV file opened.", "Logbook Import finished."}},
    {"MainFileUnreadable",
     [](const TempDir& d) {
       const fs::path path = WriteSampleExport(d, "bad");
       fs::remove(path);
       fs::create_directory(path);
       return path;
     },
     Stage::AfterClose,
     {"File access error"},
     {"@ CSV file access error!"}},
};

class FailureTest : public WorkflowTest,
                    public ::testing::WithParamInterface<std::tuple<FailureRow, bool>> {};

TEST_P(FailureTest, IsReportedAndLeavesTheWindowAsTheImportLeftIt) {
  const auto& [row, loadedBefore] = GetParam();
  const fs::path good = WriteSampleExport(dir, "good");
  if (loadedBefore) open(good);
  const fs::path bad = row.make(dir);
  const std::string p = bad.string();
  const auto before = historyLines().size();
  platform.messages.clear();
  open(bad);

  std::vector<std::string> history = {"Logbook Import started."};
  if (loadedBefore && row.stage != Stage::BeforeClose) history.push_back("CSV file Closed");
  for (std::string line : row.history) {
    if (line[0] == '@') line.replace(0, 1, p);
    history.push_back(line);
  }
  const auto all = historyLines();
  EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()), history);

  std::vector<ShownMessage> messages;
  for (const std::string& text : row.warnings)
    messages.push_back({MessageKind::Warning, text, MessageButtons::Ok});
  if (row.stage == Stage::Loads)
    messages.push_back({MessageKind::Information, kImported, MessageButtons::Ok});
  EXPECT_EQ(platform.messages, messages);

  const bool keepsOld = row.stage == Stage::BeforeClose && loadedBefore;
  const bool loadsNew = row.stage == Stage::Loads;
  EXPECT_EQ(session.logbook.loaded, keepsOld || loadsNew);
  EXPECT_EQ(diveLines(), keepsOld || loadsNew ? sampleList() : std::vector<std::string>());
  EXPECT_EQ(filePanel(), keepsOld ? good.string() : loadsNew ? p : "No CSV file");
  const std::vector<std::string> opened = {"Opened CSV file:", p};
  if (loadsNew) {
    EXPECT_EQ(memoLines(), loadedBefore ? Summary() : Joined(opened, Summary()));
  } else if (row.stage == Stage::AfterClose && loadedBefore) {
    EXPECT_EQ(memoLines(), std::vector<std::string>());  // the close cleared it
  } else {
    EXPECT_EQ(memoLines(), opened);
  }

  EXPECT_EQ(progressBar()->value(), 0);
  if (std::string(row.name) == "MainFileMissing" && !loadedBefore) {
    EXPECT_EQ(progressBar()->maximum(), 100);  // the import stopped before the bar
  }
}

INSTANTIATE_TEST_SUITE_P(Open, FailureTest,
                         ::testing::Combine(::testing::ValuesIn(kFailures), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "WhileLoaded" : "");
                         });

// The HTML export with each answer to its two questions.
struct ExportRow {
  const char* name;
  MessageAnswer clear;
  MessageAnswer show;
};

// clang-format off
const ExportRow kExports[] = {
  {"ClearAndShow",        MessageAnswer::Yes, MessageAnswer::Ok},
  {"ClearAndDoNotShow",   MessageAnswer::Yes, MessageAnswer::Cancel},
  {"KeepAndShow",         MessageAnswer::No,  MessageAnswer::Ok},
  {"KeepAndDoNotShow",    MessageAnswer::No,  MessageAnswer::Cancel},
};
// clang-format on

class ExportTest : public WorkflowTest, public ::testing::WithParamInterface<ExportRow> {};

TEST_P(ExportTest, WritesTheLogbookAndFollowsTheAnswers) {
  const ExportRow& row = GetParam();
  open(WriteSampleExport(dir, "export"));
  const fs::path stray = dir.write("program/Output/stray.txt", "mine");
  platform.messages.clear();
  platform.answers = {row.clear, row.show};
  find<QAction>("MList_html")->trigger();

  EXPECT_EQ(
      platform.messages,
      std::vector<ShownMessage>(
          {{MessageKind::Confirm, "Would You like clear the OUTPUT directory ?",
            MessageButtons::YesNo},
           {MessageKind::Information, "HTML write finished.\n\rMay I show You the logbook.html ?",
            MessageButtons::OkCancel}}));
  const fs::path page = programDir / "Output" / "logbook.html";
  EXPECT_EQ(ReadFile(page), "<html>\r\n<p>dive</p>\r\n<p>dive</p>\r\n<p>dive</p>\r\n</html>\r\n");
  EXPECT_EQ(fs::exists(stray), row.clear == MessageAnswer::No);
  if (row.show == MessageAnswer::Ok) {
    ASSERT_EQ(platform.opened.size(), 1u);
    EXPECT_EQ(fs::path(platform.opened[0]).lexically_normal(), page.lexically_normal());
  } else {
    EXPECT_TRUE(platform.opened.empty());
  }
  const auto history = historyLines();
  ASSERT_GE(history.size(), 2u);
  EXPECT_EQ(history[history.size() - 2], "HTML write started.");
  EXPECT_EQ(history.back(), "HTML write finished.");
  EXPECT_EQ(progressBar()->value(), 0);
  auto* list = find<QListView>("LB_dives");
  EXPECT_EQ(list->currentIndex().row(), 2);  // the selection stays on the last dive
  EXPECT_TRUE(list->selectionModel()->isSelected(list->currentIndex()));
}

INSTANTIATE_TEST_SUITE_P(Export, ExportTest, ::testing::ValuesIn(kExports),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkflowTest, ExportWithoutTemplatesStopsAtTheWarning) {
  open(WriteSampleExport(dir, "export"));
  fs::remove(programDir / "html" / "note.html");
  platform.messages.clear();
  QTest::mouseClick(find<QToolButton>("ToolButton1"), Qt::LeftButton);
  EXPECT_EQ(platform.messages,
            std::vector<ShownMessage>(
                {{MessageKind::Warning, "HTML sources open error. File(s) not found.",
                  MessageButtons::Ok}}));
  EXPECT_FALSE(fs::exists(programDir / "Output"));
  EXPECT_EQ(historyLines().back(), "HTML sources open error. File(s) not found.");
}

// The export refused while no logbook is loaded.
struct RefusalRow {
  const char* name;
  std::function<std::string(WorkflowTest&, const TempDir&)> before;  // returns the chosen path
};

class RefusalTest : public WorkflowTest, public ::testing::WithParamInterface<RefusalRow> {};

const RefusalRow kRefusals[] = {
    {"NoFileChosen", [](WorkflowTest&, const TempDir&) { return std::string(); }},
    {"AfterAFailedOpen",
     [](WorkflowTest& test, const TempDir& d) {
       test.window.TBOpenClick();
       return (d.path() / "missing.csv").string();
     }},
    {"AfterClose",
     [](WorkflowTest& test, const TempDir& d) {
       const auto path = WriteSampleExport(d, "closed");
       test.platform.nextChoice = path.string();
       test.window.TBOpenClick();
       test.window.TBCloseClick();
       return path.string();
     }},
};

TEST_P(RefusalTest, WarnsAndLogsTheLastChosenPath) {
  platform.nextChoice = (dir.path() / "missing.csv").string();
  const std::string chosen = GetParam().before(*this, dir);
  platform.messages.clear();
  find<QAction>("MList_html")->trigger();
  EXPECT_EQ(platform.messages,
            std::vector<ShownMessage>(
                {{MessageKind::Warning, "Not opened CSV file", MessageButtons::Ok}}));
  EXPECT_EQ(historyLines().back(), chosen + " html conver request without CSV file");
  EXPECT_FALSE(fs::exists(programDir / "Output"));
}

INSTANTIATE_TEST_SUITE_P(Export, RefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// The bundled sample export, with the bundled templates, as a new user meets
// them in the runnable folder.
TEST_F(WorkflowTest, BundledSampleOpensAndExports) {
  const fs::path source = QUELLMAR_SOURCE_DIR;
  ASSERT_TRUE(fs::exists(source / "examples" / "logbook.csv"));
  fs::copy(source / "examples", dir.path() / "examples");
  fs::remove_all(programDir / "html");
  fs::copy(source / "resources" / "html", programDir / "html");
  fs::copy(source / "resources" / "pict", programDir / "pict");

  open(dir.path() / "examples" / "logbook.csv");
  ASSERT_TRUE(session.logbook.loaded);
  EXPECT_GT(diveLines().size(), 0u);
  EXPECT_EQ(memoLines().back(), std::to_string(diveLines().size()) + " logged dives.");

  platform.messages.clear();
  platform.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
  window.MList_htmlClick();
  EXPECT_TRUE(platform.errors.empty());
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.opened.size(), 1u);
  EXPECT_GT(fs::file_size(programDir / "Output" / "logbook.html"), 0u);
  EXPECT_TRUE(platform.clipboard.has_value());  // the pictures went through the clipboard
}

// The about dialog comes up over the main window at every start.
TEST_F(WorkflowTest, AboutDialogIsShownAtStartBeforeTheWindowCanBeUsed) {
  TAboutBox about(platform, &window);
  window.setAboutBox(&about);
  bool shownOverWindow = false;
  bool stayedOnEscape = false;
  ModalAnswerer user([&](QWidget* box) {
    shownOverWindow = box == &about && window.isVisible() && about.isModal();
    PressKey(box, Qt::Key_Escape);
    stayedOnEscape = about.isVisible();
    PressKey(box, Qt::Key_Return);
  });
  window.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return user.answered() && !about.isVisible(); }));
  EXPECT_TRUE(shownOverWindow);
  EXPECT_TRUE(stayedOnEscape);
}

// "quellmar FILE": the export opens once the about dialog is closed, as if
// chosen in the file dialog; a relative name is taken from the current folder.
TEST_F(WorkflowTest, FileGivenAtStartOpensAfterTheAboutDialog) {
  WriteSampleExport(dir, "export");
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const fs::path expected = fs::current_path() / "export/logbook.csv";
  TAboutBox about(platform, &window);
  window.setAboutBox(&about);
  window.setStartFile("export/logbook.csv");
  std::size_t historyUnderAbout = 99;
  ModalAnswerer user([&](QWidget* box) {
    historyUnderAbout = session.window.history().size();
    PressKey(box, Qt::Key_Return);
  });
  window.show();
  const bool opened = QTest::qWaitFor([&] { return session.logbook.loaded; });
  fs::current_path(before);
  ASSERT_TRUE(opened);
  EXPECT_EQ(historyUnderAbout, 0u);
  EXPECT_EQ(session.window.chosenPath, expected.string());
  EXPECT_EQ(diveLines(), sampleList());
  ASSERT_FALSE(platform.messages.empty());
  EXPECT_EQ(platform.messages.back().text, kImported);
}

// A user who takes a while in the file dialog: the import's work begins late
// in its command, and the window follows it from its first step.
class SlowChoicePlatform : public TestPlatform {
 public:
  std::optional<std::string> chooseCsvFile() override {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    return TestPlatform::chooseCsvFile();
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
  platform.nextChoice = path.string();
  Session session(platform);
  TForm1 window(session);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QCoreApplication::processEvents();
  auto* bar = window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  ASSERT_NE(bar, nullptr);
  BarPaints paints;
  bar->installEventFilter(&paints);
  window.TBOpenClick();  // nothing else processes events until it returns
  bar->removeEventFilter(&paints);
  EXPECT_GE(std::ranges::count(paints.maxima, size), 1) << "paints: " << paints.maxima.size();
  EXPECT_TRUE(session.logbook.loaded);
}

}  // namespace
}  // namespace quellmar::testing
