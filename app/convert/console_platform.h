// The platform and the window listener of the command line: message boxes
// and history lines go to standard error as they happen, questions are
// answered from the options, and there is no clipboard.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "commands/platform.h"
#include "commands/window_model.h"

namespace quellmar::convert {

// The program's texts (UTF-8) as the console shows them: as they are on a
// UTF-8 terminal, else in the windows-1252 code page the export is written
// in. A terminal takes control characters as commands (ESC starts the
// sequences that retitle the window or clear the screen, BEL rings), and
// the export's texts and file names may hold any: every C0 and C1 control
// and DEL is shown as its code, \x1b. Backslashes stay as they are, for the
// paths of Windows.
class ConsoleText {
 public:
  explicit ConsoleText(bool utf8) : utf8_(utf8) {}
  // One line: a history line, a memo or dive list line, a path.
  std::string operator()(const std::string& line) const;
  // A text of several lines (the usage, a message box's text): its line
  // feeds and carriage returns are its own line breaks and stay.
  std::string lines(const std::string& text) const;

 private:
  std::string shown(const std::string& text, bool keepLineBreaks) const;

  bool utf8_;
};

struct Answers {
  bool clearOutput = false;  // "Would You like clear the OUTPUT directory ?"
  bool viewLogbook = false;  // "May I show You the logbook.html ?"
};

class ConsolePlatform : public Platform {
 public:
  ConsolePlatform(std::ostream& err, const ConsoleText& shown, std::filesystem::path chosenFile,
                  std::filesystem::path programDir, Answers answers);

  // "Title: text", and for a question " -> " and the answer given; then a
  // warning's details on a line of their own, indented.
  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override;
  // "Error: text", then the details as for a warning.
  void showError(const std::string& text, const std::string& details) override;
  std::optional<std::filesystem::path> chooseCsvFile(const std::filesystem::path&) override {
    return chosenFile_;
  }
  bool openDocument(const std::filesystem::path& document, std::string& reason) override;
  // The converter names the UDDF file on its command line.
  std::optional<std::filesystem::path> chooseUddfFile(const std::filesystem::path&) override {
    return std::nullopt;
  }
  bool copyToClipboard(const IndexedImage&) override { return true; }
  std::filesystem::path programDirectory() const override { return programDir_; }

 private:
  void printDetails(const std::string& details);

  std::ostream& err_;
  const ConsoleText& shown_;
  std::filesystem::path chosenFile_;
  std::filesystem::path programDir_;
  Answers answers_;
};

// Prints each history line the moment it is added.
class HistoryPrinter : public WindowListener {
 public:
  HistoryPrinter(std::ostream& err, const ConsoleText& shown) : err_(err), shown_(shown) {}
  void historyAdded(const std::string& line) override;

 private:
  std::ostream& err_;
  const ConsoleText& shown_;
};

}  // namespace quellmar::convert
