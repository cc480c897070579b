#include "about_dialog.h"

#include <qdrawutil.h>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <tuple>

#include "commands/program_texts.h"
#include "jpeg_image.h"
#include "window_style.h"

namespace quellmar {
namespace {

constexpr int kEmailTop = 144;

}  // namespace

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  QFont font = this->font();
  font.setBold(true);
  font.setUnderline(true);
  setFont(font);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, Qt::blue);
  setPalette(colours);
  setCursor(Qt::PointingHandCursor);
  // Reached by Tab and opened by Space or Enter, as a link in a browser.
  setFocusPolicy(Qt::TabFocus);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit clicked();
      break;
    default:
      QLabel::keyPressEvent(event);
  }
}

void LinkLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void BevelPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  qDrawShadePanel(&painter, rect(), palette(), true, 1);
  qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
}

AboutDialog::AboutDialog(Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      platform_(platform) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QStringLiteral("About"));
  setFont(WindowFont());
  setFixedSize(390, 267);
  setModal(true);

  auto* panel = Named(new BevelPanel(this), "framePanel");
  panel->setGeometry(8, 8, 369, 217);

  auto* picture = Named(new QLabel(panel), "picture");
  picture->setGeometry(8, 8, 200, 200);
  picture->setScaledContents(true);
  QFile stored(QStringLiteral(":/about/about.jpg"));
  if (stored.open(QIODevice::ReadOnly)) {
    const QImage image = DecodeJpeg(stored.readAll());
    if (!image.isNull()) picture->setPixmap(QPixmap::fromImage(image));
  }

  PlacedLabel("titleLabel", QStringLiteral("Quellmar"), 216, 16, panel);
  PlacedLabel("versionLabel", QString::fromLatin1(kAboutVersion), 216, 32, panel);
  PlacedLabel("creditLabel", QString::fromLatin1(kAboutCredit), 216, 48, panel);
  auto* comments = Named(new QLabel(QString::fromLatin1(kAboutComments), panel), "commentLabel");
  comments->setGeometry(216, 72, 137, 65);
  comments->setWordWrap(true);
  comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  FitCaption(comments, QSize(137, kEmailTop - 2 - 72));  // longer, not into the e-mail link

  for (auto [caption, name, top] : {std::tuple{kEmailAddress, "emailLink", kEmailTop},
                                    std::tuple{kWebAddress, "webLink", 160}}) {
    auto* link = Named(new LinkLabel(QString::fromLatin1(caption), panel), name);
    link->move(216, top);
    link->adjustSize();
    FitCaption(link, RoomToTheRight(link));
    connect(link, &LinkLabel::clicked, this, &AboutDialog::openLink);
  }

  okButton_ = Named(new QPushButton(QStringLiteral("OK"), this), "okButton");
  okButton_->setGeometry(167, 236, 75, 25);
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutDialog::openLink() {
  if (const auto* label = qobject_cast<const QLabel*>(sender())) {
    std::string reason;  // a link that opens nothing is just a link
    platform_.openDocument(label->text().toStdString(), reason);
  }
}

void AboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  okButton_->setFocus(Qt::OtherFocusReason);
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Cancel)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace quellmar
