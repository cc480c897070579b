#include "console_platform.h"

#include <utility>

#include "basic/display_text.h"
#include "desktop.h"

namespace quellmar::convert {
namespace {

const char* AnswerName(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Ok:
      return "OK";
    case MessageAnswer::Cancel:
      return "Cancel";
    case MessageAnswer::Yes:
      return "Yes";
    case MessageAnswer::No:
      return "No";
  }
  return "";
}

}  // namespace

std::string ConsoleText::operator()(const std::string& text) const {
  return utf8_ ? text : Windows1252FromUtf8(text);
}

ConsolePlatform::ConsolePlatform(std::ostream& err, const ConsoleText& shown,
                                 std::filesystem::path chosenFile, std::filesystem::path programDir,
                                 Answers answers)
    : err_(err),
      shown_(shown),
      chosenFile_(std::move(chosenFile)),
      programDir_(std::move(programDir)),
      answers_(answers) {}

MessageAnswer ConsolePlatform::showMessage(MessageKind kind, const std::string& text,
                                           MessageButtons buttons, const std::string& details) {
  err_ << MessageTitle(kind) << ": " << shown_(text);
  // The program asks two questions only: whether to empty the Output
  // directory (Yes, No) and whether to show the logbook (OK, Cancel).
  MessageAnswer answer = MessageAnswer::Ok;
  if (buttons == MessageButtons::YesNo) {
    answer = answers_.clearOutput ? MessageAnswer::Yes : DefaultAnswer(buttons);
  } else if (buttons == MessageButtons::OkCancel) {
    answer = answers_.viewLogbook ? MessageAnswer::Ok : MessageAnswer::Cancel;
  }
  if (buttons != MessageButtons::Ok) err_ << " -> " << AnswerName(answer);
  err_ << '\n';
  // The final question's details name the logbook, which the converter
  // prints on standard output itself.
  if (kind == MessageKind::Warning) printDetails(details);
  err_ << std::flush;
  return answer;
}

void ConsolePlatform::showError(const std::string& text, const std::string& details) {
  err_ << "Error: " << shown_(text) << '\n';
  printDetails(details);
  err_ << std::flush;
}

void ConsolePlatform::printDetails(const std::string& details) {
  if (!details.empty()) err_ << "  " << shown_(details) << '\n';
}

bool ConsolePlatform::openDocument(const std::filesystem::path& document, std::string& reason) {
  return OpenWithDesktop(document, reason);
}

void HistoryPrinter::historyAdded(const std::string& line) {
  err_ << shown_(line) << '\n' << std::flush;
}

}  // namespace quellmar::convert
