// A platform without a window: records every message box, error box, opened
// document and clipboard picture in order, and answers questions from a queue.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commands/platform.h"

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
  void showError(const std::string& text, const std::string& details) override {
    errors.push_back(text);
    errorDetails.push_back(details);
  }
  std::optional<std::filesystem::path> chooseCsvFile() override { return nextChoice; }
  void openDocument(const std::filesystem::path& document) override { opened.push_back(document); }
  bool copyToClipboard(const IndexedImage& picture) override;
  std::filesystem::path programDirectory() const override { return programDir_; }

  // Answers for the questions, in order; with none left, Cancel or No.
  std::deque<MessageAnswer> answers;
  std::optional<std::filesystem::path> nextChoice;
  bool clipboardWorks = true;

  std::vector<ShownMessage> messages;
  std::vector<std::string> messageDetails;  // one per message, empty for none
  std::vector<std::string> errors;
  std::vector<std::string> errorDetails;
  std::vector<std::filesystem::path> opened;
  std::optional<IndexedImage> clipboard;

 private:
  std::filesystem::path programDir_;
};

}  // namespace quellmar::testing
