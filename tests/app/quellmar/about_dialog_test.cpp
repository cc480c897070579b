// The about dialog: its controls, its keys and its two link labels.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "about_dialog.h"
#include "support/test_platform.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

using ::quellmar::testing::PrintTo;

class AboutDialogTest : public ::testing::Test {
 protected:
  template <typename Widget>
  Widget* find(const char* name) {
    auto* widget = about.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // Shows the dialog modally and lets act play the user.
  void run(std::function<void(QWidget*)> act) {
    ModalAnswerer user(std::move(act));
    about.exec();
    EXPECT_TRUE(user.answered());
  }

  TestPlatform platform;
  AboutDialog about{platform, nullptr};
};

TEST_F(AboutDialogTest, ControlsAreMadeFromTheirTable) {
  ExpectControlsMadeFrom(&about, kAboutControls);
}

TEST_F(AboutDialogTest, HasItsCaptionSizeTextsAndPicture) {
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.size(), QSize(390, 267));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_FALSE(about.isVisible());  // made hidden
  EXPECT_TRUE(find<QLabel>("commentLabel")->wordWrap());
  EXPECT_TRUE(find<QPushButton>("okButton")->isDefault());
  const QPixmap picture = find<QLabel>("picture")->pixmap();
  EXPECT_EQ(picture.size(), QSize(200, 200));
  EXPECT_TRUE(find<QLabel>("picture")->hasScaledContents());
}

TEST_F(AboutDialogTest, LinksLookLikeLinks) {
  auto* email = find<QLabel>("emailLink");
  auto* http = find<QLabel>("webLink");
  for (QLabel* link : {email, http}) {
    EXPECT_TRUE(link->font().bold());
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  }
  // The comment keeps its place when its text fits there, and never reaches the links.
  auto* comments = find<QLabel>("commentLabel");
  if (comments->heightForWidth(137) <= 65) {
    EXPECT_EQ(comments->height(), 65);
  }
  EXPECT_LT(comments->geometry().bottom(), email->y());
}

TEST_F(AboutDialogTest, EnterClosesAndEscapeDoesNot) {
  bool openAfterEscape = false;
  run([&](QWidget* box) {
    PressKey(box, Qt::Key_Escape);
    QTest::keyClick(box, Qt::Key_Escape);
    openAfterEscape = box->isVisible();
    PressKey(box, Qt::Key_Return);
  });
  EXPECT_TRUE(openAfterEscape);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(AboutDialogTest, OkButtonAndTitleBarClose) {
  run([](QWidget* box) {
    QTest::mouseClick(box->findChild<QPushButton*>("okButton"), Qt::LeftButton);
  });
  EXPECT_FALSE(about.isVisible());
  run([](QWidget* box) { box->close(); });
  EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutDialogTest, ClickingALinkOpensItsCaptionAndLeavesTheDialogOpen) {
  std::vector<std::string> captions;
  bool stayedOpen = true;
  run([&](QWidget* box) {
    for (const char* name : {"emailLink", "webLink"}) {
      auto* link = box->findChild<QLabel*>(name);
      captions.push_back(link->text().toStdString());
      QTest::mouseClick(link, Qt::LeftButton);
      stayedOpen = stayedOpen && box->isVisible();
    }
    PressKey(box, Qt::Key_Return);
  });
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(platform.opened,
            (std::vector<std::filesystem::path>(captions.begin(), captions.end())));
}

TEST_F(AboutDialogTest, WorksFromTheKeyboard) {
  std::vector<QString> focused;
  bool stayedOpen = true;
  run([&](QWidget* box) {
    focused.push_back(box->focusWidget()->objectName());
    for (Qt::Key open : {Qt::Key_Space, Qt::Key_Return}) {
      QTest::keyClick(box->focusWidget(), Qt::Key_Tab);
      focused.push_back(box->focusWidget()->objectName());
      PressKey(box, open);
      stayedOpen = stayedOpen && box->isVisible();
    }
    QTest::keyClick(box->focusWidget(), Qt::Key_Tab);
    focused.push_back(box->focusWidget()->objectName());
    PressKey(box, Qt::Key_Return);
  });
  EXPECT_EQ(focused, (std::vector<QString>{"okButton", "emailLink", "webLink", "okButton"}));
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(platform.opened,
            (std::vector<std::filesystem::path>{find<QLabel>("emailLink")->text().toStdString(),
                                                find<QLabel>("webLink")->text().toStdString()}));
  EXPECT_FALSE(about.isVisible());
}

TEST_F(WindowTest, AboutMenuShowsTheSameDialogEachTime) {
  AboutDialog about(platform, &window);
  window.setAboutDialog(&about);
  for (int time = 0; time < 2; ++time) {
    QWidget* shown = nullptr;
    ModalAnswerer user([&](QWidget* box) {
      shown = box;
      PressKey(box, Qt::Key_Return);
    });
    find<QAction>("aboutItem")->trigger();
    EXPECT_EQ(shown, &about);
  }
}

}  // namespace
}  // namespace quellmar::testing
