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
  QtPlatform();

  // Boxes and the file dialog are shown over the owner window, once it is set.
  void setOwner(QWidget* owner) { owner_ = owner; }
  // Called before every modal box or dialog, so the window shows the state of
  // the running command behind it.
  void setBeforeModal(std::function<void()> beforeModal) { beforeModal_ = std::move(beforeModal); }

  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override;
  void showError(const std::string& text, const std::string& details) override;
  std::optional<std::string> chooseCsvFile() override;
  void openDocument(const std::string& target) override;
  bool copyToClipboard(const IndexedImage& picture) override;
  // The executable's folder until the program start sets the folder in use.
  std::filesystem::path programDirectory() const override { return programDir_; }
  void setProgramDirectory(std::filesystem::path dir) { programDir_ = std::move(dir); }

 private:
  void prepareModal();

  QPointer<QWidget> owner_;
  QString lastChoice_;
  std::function<void()> beforeModal_;
  std::filesystem::path programDir_;
};

// The folder that holds the running program.
std::filesystem::path ExecutableFolder();

// The error box's title: the program file's name without its extension.
QString ApplicationTitle();

// Line breaks of a message ("\n\r", "\r\n", a lone "\r") as Qt shows them.
QString MessageDisplayText(const std::string& text);

}  // namespace quellmar
