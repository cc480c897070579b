// The desktop services of the program, done with the Windows API: message
// boxes, the error box, the CSV file-open dialog, the shell's "open", the
// clipboard and the program directory. Texts and paths pass through the wide
// API.
#pragma once

#include <windows.h>

#include <functional>

#include "commands/platform.h"

namespace quellmar::win32 {

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(std::filesystem::path programDir = {})
      : programDir_(std::move(programDir)) {}

  // Boxes and the file dialog are shown over the owner window, once it is set.
  void setOwner(HWND owner) { owner_ = owner; }
  // Called before every modal box or dialog, so the window shows the state of
  // the running command behind it.
  void setBeforeModal(std::function<void()> beforeModal) { beforeModal_ = std::move(beforeModal); }

  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override;
  void showError(const std::string& text, const std::string& details) override;
  std::optional<std::filesystem::path> chooseCsvFile(const std::filesystem::path& folder) override;
  // A file, or an address (the about dialog's links); a failure is shown in
  // the error box with the system's reason.
  std::optional<std::filesystem::path> chooseUddfFile(
      const std::filesystem::path& suggested) override;
  bool openDocument(const std::filesystem::path& document, std::string& reason) override;
  bool copyToClipboard(const IndexedImage& picture) override;
  std::filesystem::path programDirectory() const override { return programDir_; }

 private:
  struct FileDialog {
    const wchar_t* filter;
    const wchar_t* title;
    const wchar_t* extension;
    bool save;
  };
  std::optional<std::filesystem::path> chooseFile(const FileDialog& what,
                                                  const std::filesystem::path& folder,
                                                  const std::filesystem::path& name);
  void prepareModal();

  HWND owner_ = nullptr;
  std::function<void()> beforeModal_;
  std::filesystem::path lastChoice_;
  std::filesystem::path programDir_;
};

}  // namespace quellmar::win32
