// The page's side of the program: the Platform over the page's dialogs and
// downloads, and the window model followed onto the page. The files live in
// the module's memory file system: the export the user picked in /export,
// the program folder (templates, icons, the Output folder) in /quellmar.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "commands/platform.h"
#include "commands/session.h"
#include "commands/window_model.h"

namespace quellmar::web {

inline const std::filesystem::path kExportFolder = "/export";
inline const std::filesystem::path kProgramFolder = "/quellmar";
inline const std::filesystem::path kBundledTemplates = "/bundled/html";
inline const std::filesystem::path kUddfFile = "/download/logbook.uddf";

// Messages become in-page dialogs, shown one after another. A command cannot
// wait for the user's answer (a worker's module cannot be paused for it
// without shared memory, which a page opened from a file lacks), so a
// question is answered here: the Output folder is the page's own and empty
// at each export, so there is nothing to clear (No); the final question is
// asked on the page, its OK running the view command, which hands the
// logbook to the browser as logbook.zip.
class PagePlatform : public Platform {
 public:
  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override;
  void showError(const std::string& text, const std::string& details) override;
  std::optional<std::filesystem::path> chooseCsvFile(const std::filesystem::path&) override {
    return std::exchange(chosenFile_, std::nullopt);
  }
  std::optional<std::filesystem::path> chooseUddfFile(const std::filesystem::path&) override {
    return kUddfFile;
  }
  // The logbook's index page: the whole logbook downloaded as logbook.zip.
  bool openDocument(const std::filesystem::path& document, std::string& reason) override;
  bool copyToClipboard(const IndexedImage&) override { return true; }
  std::filesystem::path programDirectory() const override { return kProgramFolder; }

  void setChosenFile(std::filesystem::path file) { chosenFile_ = std::move(file); }

 private:
  std::optional<std::filesystem::path> chosenFile_;
};

// Tells the page what changed in the window model. The progress and the
// selection change with every line read and every dive written: they are
// told once per hundredth of the bar, and at the end of each command, so
// that the messages cost less than the work.
class PageView : public WindowListener {
 public:
  explicit PageView(const WindowModel& model) : model_(model) {}
  void memoChanged() override;
  void diveListChanged() override;
  void diveSelected(int) override { pending_ = true; }
  void historyAdded(const std::string& line) override;
  void filePanelChanged() override;
  void progressChanged() override;
  // Everything at once: at the start, and at the end of each command.
  void showAll();
  void showPending();

 private:
  const WindowModel& model_;
  bool pending_ = false;
  std::int64_t shownStep_ = -1;
};

// Hands bytes to the browser as a download of the given name and media type.
void Download(std::string_view bytes, const char* name, const char* type);
// The same for a file of the memory file system; false when it cannot be read.
bool DownloadFile(const std::filesystem::path& file, const char* name, const char* type);

}  // namespace quellmar::web
