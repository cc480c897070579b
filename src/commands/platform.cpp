#include "commands/platform.h"

namespace quellmar {

const char* MessageTitle(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return "Warning";
    case MessageKind::Information:
      return "Information";
    case MessageKind::Confirm:
      return "Confirm";
  }
  return "";
}

MessageAnswer DefaultAnswer(MessageButtons buttons) {
  return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

}  // namespace quellmar
