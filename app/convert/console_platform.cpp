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

// A control character as its code, "\x1b".
void AppendCode(std::string& out, unsigned char code) {
  constexpr char kDigits[] = "0123456789abcdef";
  out += {'\\', 'x', kDigits[code >> 4], kDigits[code & 0xF]};
}

}  // namespace

std::string ConsoleText::operator()(const std::string& line) const { return shown(line, false); }

std::string ConsoleText::lines(const std::string& text) const { return shown(text, true); }

// The codes go into the UTF-8 text, before it becomes windows-1252 for an
// 8-bit terminal. The C1 controls are U+0080 to U+009F, 0xC2 and their value
// in UTF-8: the export's texts hold them where windows-1252 leaves a code
// unused (0x81, 0x8D, 0x8F, 0x90, 0x9D). Its letters at 0x80 to 0x9F (the
// euro sign, S with caron) are no controls and stay.
std::string ConsoleText::shown(const std::string& text, bool keepLineBreaks) const {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto code = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (code == 0xC2 && next >= 0x80 && next < 0xA0) {
      AppendCode(out, next);
      ++i;
    } else if ((code < 0x20 || code == 0x7F) &&
               !(keepLineBreaks && (code == '\n' || code == '\r'))) {
      AppendCode(out, code);
    } else {
      out += static_cast<char>(code);
    }
  }
  return utf8_ ? out : Windows1252FromUtf8(out);
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
  err_ << MessageTitle(kind) << ": " << shown_.lines(text);
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
  err_ << "Error: " << shown_.lines(text) << '\n';
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
