#include "about_box.h"

#include <qdrawutil.h>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <tuple>

#include "jpeg_image.h"
#include "model/program_texts.h"
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

TAboutBox::TAboutBox(Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      platform_(platform) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  setFont(WindowFont());
  setFixedSize(390, 267);
  setModal(true);

  auto* panel = Named(new BevelPanel(this), "Panel1");
  panel->setGeometry(8, 8, 369, 217);

  auto* picture = Named(new QLabel(panel), "ProgramIcon");
  picture->setGeometry(8, 8, 200, 200);
  picture->setScaledContents(true);
  QFile stored(QStringLiteral(":/about/about.jpg"));
  if (stored.open(QIODevice::ReadOnly)) {
    const QImage image = DecodeJpeg(stored.readAll());
    if (!image.isNull()) picture->setPixmap(QPixmap::fromImage(image));
  }

  PlacedLabel("ProductName", QStringLiteral("Quellmar"), 216, 16, panel);
  PlacedLabel("Version", QString::fromLatin1(kAboutVersion), 216, 32, panel);
  PlacedLabel("Credit", QString::fromLatin1(kAboutCredit), 216, 48, panel);
  auto* comments = Named(new QLabel(QString::fromLatin1(kAboutComments), panel), "Comments");
  comments->setGeometry(216, 72, 137, 65);
  comments->setWordWrap(true);
  comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  FitCaption(comments, QSize(137, kEmailTop - 2 - 72));  // longer, not into the e-mail link

  for (auto [caption, name, top] :
       {std::tuple{kEmailAddress, "L_email", kEmailTop}, std::tuple{kWebAddress, "L_http", 160}}) {
    auto* link = Named(new LinkLabel(QString::fromLatin1(caption), panel), name);
    link->move(216, top);
    link->adjustSize();
    FitCaption(link, RoomToTheRight(link));
    connect(link, &LinkLabel::clicked, this, &TAboutBox::URLClick);
  }

  ok_ = Named(new QPushButton(QStringLiteral("OK"), this), "OKButton");
  ok_->setGeometry(167, 236, 75, 25);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

void TAboutBox::OKButtonClick() { accept(); }

void TAboutBox::URLClick() {
  if (const auto* label = qobject_cast<const QLabel*>(sender()))
    platform_.openDocument(label->text().toStdString());
}

void TAboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ok_->setFocus(Qt::OtherFocusReason);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Cancel)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace quellmar
