// The platform and the window listener of the command line: message boxes
// and history lines go to standard error as they happen, questions are
// answered from the options, and there is no clipboard.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "model/platform.h"
#include "model/window_model.h"

namespace quellmar::convert {

struct Answers {
  bool clearOutput = false;  // "Would You like clear the OUTPUT directory ?"
  bool viewLogbook = false;  // "May I show You the logbook.html ?"
};

class ConsolePlatform : public Platform {
 public:
  ConsolePlatform(std::ostream& err, std::string chosenFile, std::filesystem::path programDir,
                  Answers answers);

  // "Title: text", and for a question " -> " and the answer given; then a
  // warning's details on a line of their own, indented.
  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override;
  // "Error: text", then the details as for a warning.
  void showError(const std::string& text, const std::string& details) override;
  std::optional<std::string> chooseCsvFile() override { return chosenFile_; }
  void openDocument(const std::string& target) override;
  bool copyToClipboard(const IndexedImage&) override { return true; }
  std::filesystem::path programDirectory() const override { return programDir_; }

 private:
  void printDetails(const std::string& details);

  std::ostream& err_;
  std::string chosenFile_;
  std::filesystem::path programDir_;
  Answers answers_;
};

// Prints each history line the moment it is added.
class HistoryPrinter : public WindowListener {
 public:
  explicit HistoryPrinter(std::ostream& err) : err_(err) {}
  void historyAdded(const std::string& line) override;

 private:
  std::ostream& err_;
};

}  // namespace quellmar::convert
