// A platform without a window: records every message box, error box, opened
// document and clipboard picture in order, and answers questions from a queue.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commands/platform.h"
#include "commands/window_model.h"

namespace quellmar::testing {

struct ShownMessage {
  MessageKind kind;
  std::string text;
  MessageButtons buttons;
  bool operator==(const ShownMessage&) const = default;
};

class TestPlatform : public Platform {
 public:
  explicit TestPlatform(std::filesystem::path programDir = {})
      : programDir_(std::move(programDir)) {}

  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override;
  void showError(const std::string& text, const std::string& details) override;
  std::optional<std::filesystem::path> chooseCsvFile(const std::filesystem::path& folder) override {
    dialogFolders.push_back(folder);
    return nextChoice;
  }
  bool openDocument(const std::filesystem::path& document, std::string& reason) override;
  std::optional<std::filesystem::path> chooseUddfFile(const std::filesystem::path&) override {
    return nextUddfChoice;
  }
  bool copyToClipboard(const IndexedImage& picture) override;
  std::filesystem::path programDirectory() const override { return programDir_; }

  // Answers for the questions, in order; with none left, Cancel or No.
  std::deque<MessageAnswer> answers;
  std::optional<std::filesystem::path> nextChoice;
  std::optional<std::filesystem::path> nextUddfChoice;
  std::string openFails;  // the reason the desktop gives, when not empty
  bool clipboardWorks = true;

  std::vector<ShownMessage> messages;
  std::vector<std::string> messageDetails;  // one per message, empty for none
  std::vector<std::string> errors;
  std::vector<std::string> errorDetails;
  std::vector<std::filesystem::path> opened;
  std::vector<std::filesystem::path> dialogFolders;  // where each file dialog opened
  std::optional<IndexedImage> clipboard;
  // All of the above as one conversation, in order: "Warning: TEXT" (and
  // "  DETAILS"), "Confirm: TEXT -> Yes", "Error: TEXT", "Open: PATH",
  // "Clipboard: W x H"; a HistoryRecorder adds "History: LINE".
  std::vector<std::string> transcript;

 private:
  std::filesystem::path programDir_;
};

// Adds the session's history lines to a platform's transcript as they come.
class HistoryRecorder : public WindowListener {
 public:
  explicit HistoryRecorder(std::vector<std::string>& transcript) : transcript_(transcript) {}
  void historyAdded(const std::string& line) override { transcript_.push_back("History: " + line); }

 private:
  std::vector<std::string>& transcript_;
};

}  // namespace quellmar::testing
