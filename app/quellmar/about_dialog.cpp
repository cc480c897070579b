#include "about_dialog.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "jpeg_image.h"
#include "window/window_layout.h"
#include "window_style.h"

namespace quellmar {

AboutDialog::AboutDialog(Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      platform_(platform) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QString::fromUtf8(kAboutTitle));
  setFont(WindowFont());
  setFixedSize(kAboutDialogSize.width, kAboutDialogSize.height);
  setModal(true);

  const auto controls = MakeControls(kAboutControls, this);
  QFile stored(QStringLiteral(":/about/about.jpg"));
  if (stored.open(QIODevice::ReadOnly)) {
    const QImage image = DecodeJpeg(stored.readAll());
    auto* picture = static_cast<QLabel*>(controls.at(ControlRole::Picture));
    if (!image.isNull()) picture->setPixmap(QPixmap::fromImage(image));
  }
  for (ControlRole link : {ControlRole::EmailLink, ControlRole::WebLink})
    connect(static_cast<LinkLabel*>(controls.at(link)), &LinkLabel::clicked, this,
            &AboutDialog::openLink);
  okButton_ = static_cast<QPushButton*>(controls.at(ControlRole::OkButton));
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
