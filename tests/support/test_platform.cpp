#include "support/test_platform.h"

#include "basic/path_text.h"

namespace quellmar::testing {

MessageAnswer TestPlatform::showMessage(MessageKind kind, const std::string& text,
                                        MessageButtons buttons, const std::string& details) {
  messages.push_back({kind, text, buttons});
  messageDetails.push_back(details);
  MessageAnswer answer = MessageAnswer::Ok;
  if (buttons != MessageButtons::Ok && !answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  } else if (buttons != MessageButtons::Ok) {
    answer = buttons == MessageButtons::YesNo ? DefaultAnswer(buttons) : MessageAnswer::Cancel;
  }
  std::string line = std::string(MessageTitle(kind)) + ": " + text;
  if (buttons != MessageButtons::Ok)
    line += answer == MessageAnswer::Yes  ? " -> Yes"
            : answer == MessageAnswer::No ? " -> No"
            : answer == MessageAnswer::Ok ? " -> OK"
                                          : " -> Cancel";
  transcript.push_back(line);
  if (!details.empty()) transcript.push_back("  " + details);
  return answer;
}

void TestPlatform::showError(const std::string& text, const std::string& details) {
  errors.push_back(text);
  errorDetails.push_back(details);
  transcript.push_back("Error: " + text);
  if (!details.empty()) transcript.push_back("  " + details);
}

bool TestPlatform::openDocument(const std::filesystem::path& document, std::string& reason) {
  opened.push_back(document);
  transcript.push_back("Open: " + DisplayPath(document));
  reason = openFails;
  return openFails.empty();
}

bool TestPlatform::copyToClipboard(const IndexedImage& picture) {
  if (!clipboardWorks) return false;
  clipboard = picture;
  transcript.push_back("Clipboard: " + std::to_string(picture.width) + " x " +
                       std::to_string(picture.height));
  return true;
}

}  // namespace quellmar::testing
