// The Qt platform services: real message boxes and the real file dialog,
// answered by a user stand-in; the clipboard; the shell's "open".
#include "qt_platform.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "support/temp_dir.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

using ::quellmar::testing::PrintTo;

struct BoxRow {
  const char* name;
  MessageKind kind;
  MessageButtons buttons;
  const char* title;
  QMessageBox::Icon icon;
  QStringList captions;
  // The answer for each button, in the order above, for closing the box (by
  // its title bar or Escape) and for Enter.
  std::vector<MessageAnswer> answers;
  MessageAnswer closed;
  MessageAnswer entered;
};

// clang-format off
const BoxRow kBoxes[] = {
  {"WarningOk", MessageKind::Warning, MessageButtons::Ok, "Warning", QMessageBox::Warning,
   {"OK"}, {MessageAnswer::Ok}, MessageAnswer::Ok, MessageAnswer::Ok},
  {"InformationOkCancel", MessageKind::Information, MessageButtons::OkCancel, "Information",
   QMessageBox::Information, {"OK", "Cancel"}, {MessageAnswer::Ok, MessageAnswer::Cancel},
   MessageAnswer::Cancel, MessageAnswer::Ok},
  {"ConfirmYesNo", MessageKind::Confirm, MessageButtons::YesNo, "Confirm", QMessageBox::Question,
   {"&Yes", "&No"}, {MessageAnswer::Yes, MessageAnswer::No}, MessageAnswer::No, MessageAnswer::No},
};
// clang-format on

// What the user saw of a message box.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList captions;  // sorted

  explicit SeenBox(QMessageBox* box = nullptr) {
    if (box == nullptr) return;
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    for (QAbstractButton* button : box->buttons()) captions.push_back(button->text());
    captions.sort();
  }
};

QAbstractButton* ButtonWithCaption(QMessageBox* box, const QString& caption) {
  for (QAbstractButton* button : box->buttons())
    if (button->text() == caption) return button;
  return nullptr;
}

class MessageBoxTest : public ::testing::TestWithParam<BoxRow> {
 protected:
  QtPlatform platform;
};

TEST_P(MessageBoxTest, HasItsTitleIconAndButtonsAndReturnsTheAnswer) {
  const BoxRow& row = GetParam();
  // Each button in turn, then the title bar's close button, Escape and Enter.
  const qsizetype buttons = row.captions.size();
  for (qsizetype press = 0; press < buttons + 3; ++press) {
    SCOPED_TRACE(press);
    SeenBox seen;
    ModalAnswerer user([&](QWidget* widget) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      ASSERT_NE(box, nullptr);
      seen = SeenBox(box);
      if (press < buttons)
        QTest::mouseClick(ButtonWithCaption(box, row.captions[press]), Qt::LeftButton);
      else if (press == buttons)
        box->close();
      else
        PressKey(box, press == buttons + 1 ? Qt::Key_Escape : Qt::Key_Return);
    });
    const MessageAnswer answer =
        platform.showMessage(row.kind, "HTML write finished.\n\rMay I show You ?", row.buttons, {});
    ASSERT_TRUE(user.answered());
    EXPECT_EQ(seen.title, row.title);
    EXPECT_EQ(seen.text, "HTML write finished.\nMay I show You ?");
    EXPECT_EQ(seen.icon, row.icon);
    QStringList expected = row.captions;
    expected.sort();
    EXPECT_EQ(seen.captions, expected);
    const auto pressed = static_cast<std::size_t>(press);
    const MessageAnswer expectedAnswer = pressed < row.answers.size() ? row.answers[pressed]
                                         : press < buttons + 2        ? row.closed
                                                                      : row.entered;
    EXPECT_EQ(answer, expectedAnswer);
  }
}

INSTANTIATE_TEST_SUITE_P(QtPlatform, MessageBoxTest, ::testing::ValuesIn(kBoxes),
                         [](const auto& info) { return std::string(info.param.name); });

// Enter presses the default button, No on the clearing question, so that it
// never empties Output by default; the details (the file and the system's
// reason) are the box's detailed text.
TEST(QtPlatform, EnterAnswersNoToTheClearingQuestionAndDetailsAreShown) {
  QtPlatform platform;
  QString details;
  ModalAnswerer user([&](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    details = box->detailedText();
    QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_EQ(
      platform.showMessage(MessageKind::Confirm, "Would You like clear the OUTPUT directory ?",
                           MessageButtons::YesNo, "/x/Output: Permission denied"),
      MessageAnswer::No);
  ASSERT_TRUE(user.answered());
  EXPECT_EQ(details, QStringLiteral("/x/Output: Permission denied"));
}

TEST(QtPlatform, ErrorBoxIsTitledWithTheProgramName) {
  QtPlatform platform;
  bool called = false;
  platform.setBeforeModal([&] { called = true; });
  SeenBox seen;
  ModalAnswerer user([&](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    seen = SeenBox(box);
    box->close();
  });
  platform.showError("Cannot create file d12.gif.", {});
  EXPECT_TRUE(called);
  EXPECT_EQ(seen.title, "quellmar_window_test");  // this program's file name
  EXPECT_EQ(seen.title, ApplicationTitle());
  EXPECT_EQ(seen.text, "Cannot create file d12.gif.");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.captions, QStringList({"OK"}));
}

// Restores the current directory that the file dialog changes.
class FileDialogTest : public ::testing::Test {
 protected:
  ~FileDialogTest() override { QDir::setCurrent(start_); }
  const QString start_ = QDir::currentPath();
  TempDir dir;
  QtPlatform platform;
};

TEST_F(FileDialogTest, ChoiceIsReturnedAndItsFolderBecomesCurrent) {
  const auto main = WriteSampleExport(dir, "chosen");
  QString title;
  QStringList filters;
  QString suffix;
  QString folder;
  ModalAnswerer user([&](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    folder = dialog->directory().absolutePath();
    filters = dialog->nameFilters();
    suffix = dialog->defaultSuffix();
    dialog->selectFile(QString::fromStdString(main.string()));
    static_cast<QDialog*>(dialog)->accept();
  });
  const auto chosen = platform.chooseCsvFile(dir.path());
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, main);
  EXPECT_EQ(std::filesystem::path(folder.toStdString()), std::filesystem::canonical(dir.path()));
  EXPECT_EQ(title, "Suunto CSV Export open");
  EXPECT_EQ(filters, QStringList({"CSV (*.csv)"}));
  EXPECT_EQ(suffix, "csv");
  EXPECT_EQ(std::filesystem::path(QDir::currentPath().toStdString()),
            std::filesystem::canonical(dir.path() / "chosen"));

  // The next time the dialog starts with the last choice's name.
  QString name;
  QStringList offered;
  ModalAnswerer again([&](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    name = dialog->objectName();
    offered = dialog->selectedFiles();
    static_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_FALSE(platform.chooseCsvFile(main.parent_path()).has_value());
  EXPECT_EQ(name, "csvOpenDialog");
  ASSERT_EQ(offered.size(), 1);
  EXPECT_EQ(std::filesystem::canonical(offered[0].toStdString()), std::filesystem::canonical(main));
}

TEST_F(FileDialogTest, CancelReturnsNothingAndKeepsTheCurrentFolder) {
  ModalAnswerer user([](QWidget* widget) { qobject_cast<QDialog*>(widget)->reject(); });
  EXPECT_FALSE(platform.chooseCsvFile(dir.path()).has_value());
  EXPECT_EQ(QDir::currentPath(), start_);
}

// Receives what QDesktopServices would hand to the desktop.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

TEST(QtPlatform, OpenDocumentHandsPathsAndAddressesToTheDesktop) {
  UrlRecorder recorder;
  for (const char* scheme : {"file", "http", "mailto"})
    QDesktopServices::setUrlHandler(QLatin1String(scheme), &recorder, "open");
  QtPlatform platform;
  std::string reason;
  for (const char* target : {"/opt/quellmar/Output/logbook.html", "http://example.org/quellmar",
                             "mailto:quellmar@example.org"}) {
    EXPECT_TRUE(platform.openDocument(target, reason)) << target;
  }
  for (const char* scheme : {"file", "http", "mailto"})
    QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
  ASSERT_EQ(recorder.urls.size(), 3u);
  EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile("/opt/quellmar/Output/logbook.html"));
  EXPECT_EQ(recorder.urls[1], QUrl("http://example.org/quellmar"));
  EXPECT_EQ(recorder.urls[2], QUrl("mailto:quellmar@example.org"));
}

TEST(QtPlatform, ClipboardHoldsTheLastPicture) {
  QtPlatform platform;
  IndexedImage first{2, 1, {0, 1}, {255, 0, 0, 0, 0, 255}};
  IndexedImage last{3, 2, {0, 1, 2, 2, 1, 0}, {10, 20, 30, 40, 50, 60, 70, 80, 90}};
  ASSERT_TRUE(platform.copyToClipboard(first));
  ASSERT_TRUE(platform.copyToClipboard(last));
  const QImage image = QGuiApplication::clipboard()->image();
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(image.pixelColor(0, 0), QColor(10, 20, 30));
  EXPECT_EQ(image.pixelColor(2, 0), QColor(70, 80, 90));
  EXPECT_EQ(image.pixelColor(1, 1), QColor(40, 50, 60));
  EXPECT_EQ(image.pixelColor(2, 1), QColor(10, 20, 30));
}

TEST(QtPlatform, ClipboardRefusesAPictureWithoutItsPixels) {
  QtPlatform platform;
  EXPECT_FALSE(platform.copyToClipboard(IndexedImage{4, 4, {0, 0}, {0, 0, 0}}));
}

// clang-format off
struct BreakRow { const char* text; const char* shown; };
const BreakRow kBreaks[] = {
  {"CSV file imported.\n\rNext step: HTML Export", "CSV file imported.\nNext step: HTML Export"},
  {"one\r\ntwo",                                   "one\ntwo"},
  {"one\rtwo",                                     "one\ntwo"},
  {"one\ntwo",                                     "one\ntwo"},
  {"Not opened CSV file",                          "Not opened CSV file"},
};
// clang-format on

TEST(MessageDisplayText, EveryLineBreakShowsAsOne) {
  for (const BreakRow& row : kBreaks)
    EXPECT_EQ(MessageDisplayText(row.text), row.shown) << row.text;
}

}  // namespace
}  // namespace quellmar::testing

#include "qt_platform_test.moc"
