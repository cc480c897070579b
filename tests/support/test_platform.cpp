#include "support/test_platform.h"

namespace quellmar::testing {

MessageAnswer TestPlatform::showMessage(MessageKind kind, const std::string& text,
                                        MessageButtons buttons, const std::string& details) {
  messages.push_back({kind, text, buttons});
  messageDetails.push_back(details);
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (!answers.empty()) {
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons == MessageButtons::YesNo ? DefaultAnswer(buttons) : MessageAnswer::Cancel;
}

bool TestPlatform::copyToClipboard(const IndexedImage& picture) {
  if (!clipboardWorks) return false;
  clipboard = picture;
  return true;
}

}  // namespace quellmar::testing
