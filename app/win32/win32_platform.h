// The desktop services of the program, done with the Windows API: message
// boxes, the error box, the CSV file-open dialog, the shell's "open", the
// clipboard and the program directory. Texts pass through the ANSI API as
// the bytes they are.
#pragma once

#include <windows.h>

#include <functional>

#include "commands/platform.h"

namespace quellmar::win32 {

class Win32Platform : public Platform {
 public:
  // Boxes and the file dialog are shown over the owner window, once it is set.
  Win32Platform();

  void setOwner(HWND owner) { owner_ = owner; }
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

 protected:
  HWND owner() const { return owner_; }
  void prepareModal();

 private:
  HWND owner_ = nullptr;
  std::function<void()> beforeModal_;
  std::string lastChoice_;
  std::filesystem::path programDir_;
};

// The folder that holds the running program.
std::filesystem::path ExecutableFolder();

// The error box's title: the program file's name without its extension.
std::string ApplicationTitle();

}  // namespace quellmar::win32
