// The desktop services of the program, done with Qt: message boxes, the
// error box, the CSV file-open dialog, the shell's "open", the clipboard and
// the program directory.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "commands/platform.h"

namespace quellmar {

class QtPlatform : public Platform {
 public:
  explicit QtPlatform(std::filesystem::path programDir = {}) : programDir_(std::move(programDir)) {}

  // Boxes and the file dialog are shown over the owner window, once it is set.
  void setOwner(QWidget* owner) { owner_ = owner; }
  // Called before every modal box or dialog, so the window shows the state of
  // the running command behind it.
  void setBeforeModal(std::function<void()> beforeModal) { beforeModal_ = std::move(beforeModal); }

  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override;
  void showError(const std::string& text, const std::string& details) override;
  std::optional<std::filesystem::path> chooseCsvFile(const std::filesystem::path& folder) override;
  // A file, or an address (the about dialog's links).
  std::optional<std::filesystem::path> chooseUddfFile(
      const std::filesystem::path& suggested) override;
  bool openDocument(const std::filesystem::path& document, std::string& reason) override;
  bool copyToClipboard(const IndexedImage& picture) override;
  std::filesystem::path programDirectory() const override { return programDir_; }

 private:
  void prepareModal();

  QPointer<QWidget> owner_;
  QString lastChoice_;
  std::function<void()> beforeModal_;
  std::filesystem::path programDir_;
};

// The error box's title: the program file's name without its extension.
QString ApplicationTitle();

// Line breaks of a message ("\n\r", "\r\n", a lone "\r") as Qt shows them.
QString MessageDisplayText(const std::string& text);

}  // namespace quellmar
