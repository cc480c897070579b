#include "qt_platform.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <cstring>

namespace quellmar {
namespace {

QMessageBox::Icon KindIcon(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Information:
      return QMessageBox::Information;
    case MessageKind::Confirm:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton StandardButton(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Ok:
      return QMessageBox::Ok;
    case MessageAnswer::Cancel:
      return QMessageBox::Cancel;
    case MessageAnswer::Yes:
      return QMessageBox::Yes;
    case MessageAnswer::No:
      return QMessageBox::No;
  }
  return QMessageBox::NoButton;
}

bool IsAddress(const std::string& target) {
  for (const char* scheme : {"http:", "https:", "mailto:", "ftp:", "file:"})
    if (target.rfind(scheme, 0) == 0) return true;
  return false;
}

}  // namespace

QString ApplicationTitle() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString MessageDisplayText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

void QtPlatform::prepareModal() {
  if (beforeModal_) beforeModal_();
}

MessageAnswer QtPlatform::showMessage(MessageKind kind, const std::string& text,
                                      MessageButtons buttons, const std::string& details) {
  prepareModal();
  QMessageBox box(KindIcon(kind), QString::fromLatin1(MessageTitle(kind)), MessageDisplayText(text),
                  QMessageBox::NoButton, owner_);
  // The texts of the standard buttons, the same on every desktop.
  const auto add = [&box](QMessageBox::StandardButton button, const char* caption) {
    box.addButton(button)->setText(QString::fromLatin1(caption));
  };
  switch (buttons) {
    case MessageButtons::Ok:
      add(QMessageBox::Ok, "OK");
      break;
    case MessageButtons::OkCancel:
      add(QMessageBox::Ok, "OK");
      add(QMessageBox::Cancel, "Cancel");
      break;
    case MessageButtons::YesNo:
      add(QMessageBox::Yes, "&Yes");
      add(QMessageBox::No, "&No");
      break;
  }
  // Closing the box (title bar or Escape) answers Cancel or No; Enter answers
  // No to a question, which leaves the files as they are.
  if (buttons == MessageButtons::OkCancel) box.setEscapeButton(QMessageBox::Cancel);
  if (buttons == MessageButtons::YesNo) box.setEscapeButton(QMessageBox::No);
  box.setDefaultButton(StandardButton(DefaultAnswer(buttons)));
  if (!details.empty()) box.setDetailedText(QString::fromStdString(details));
  box.exec();
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
  }
}

void QtPlatform::showError(const std::string& text, const std::string& details) {
  prepareModal();
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), MessageDisplayText(text),
                  QMessageBox::NoButton, owner_);
  box.addButton(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  if (!details.empty()) box.setDetailedText(QString::fromStdString(details));
  box.exec();
}

std::optional<std::filesystem::path> QtPlatform::chooseCsvFile(
    const std::filesystem::path& folder) {
  prepareModal();
  QFileDialog dialog(owner_, QStringLiteral("Suunto CSV Export open"),
                     QFile::decodeName(QByteArray::fromStdString(folder.native())),
                     QStringLiteral("CSV (*.csv)"));
  dialog.setObjectName(QStringLiteral("csvOpenDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name of a missing file is passed on: the import reports it.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  // Like the dialog of the last choice: with its name filled in.
  if (!lastChoice_.isEmpty()) dialog.selectFile(QFileInfo(lastChoice_).fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString path = QDir::toNativeSeparators(dialog.selectedFiles().front());
  lastChoice_ = path;
  // The import finds the companion files beside the main file, in the
  // current directory.
  QDir::setCurrent(QFileInfo(path).absolutePath());
  // The file system's own bytes.
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

std::optional<std::filesystem::path> QtPlatform::chooseUddfFile(
    const std::filesystem::path& suggested) {
  prepareModal();
  QFileDialog dialog(owner_, QStringLiteral("UDDF export"),
                     QFile::decodeName(QByteArray::fromStdString(suggested.native())),
                     QStringLiteral("UDDF (*.uddf)"));
  dialog.setObjectName(QStringLiteral("uddfSaveDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("uddf"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

bool QtPlatform::openDocument(const std::filesystem::path& document, std::string& reason) {
  const std::string& target = document.native();
  const QUrl url = IsAddress(target)
                       ? QUrl(QString::fromStdString(target))
                       : QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(target)));
  if (QDesktopServices::openUrl(url)) return true;
  reason = "no application of the desktop opens it";
  return false;
}

bool QtPlatform::copyToClipboard(const IndexedImage& picture) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  const auto width = static_cast<std::size_t>(picture.width);
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() < width * static_cast<std::size_t>(picture.height))
    return false;
  QImage image(picture.width, picture.height, QImage::Format_Indexed8);
  if (image.isNull()) return false;  // no memory for it
  QList<QRgb> colours;
  for (std::size_t i = 0; i + 2 < picture.palette.size(); i += 3)
    colours.push_back(qRgb(picture.palette[i], picture.palette[i + 1], picture.palette[i + 2]));
  image.setColorTable(colours);
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(image.scanLine(y), picture.pixels.data() + static_cast<std::size_t>(y) * width,
                width);
  clipboard->setImage(image);
  return true;
}

}  // namespace quellmar
