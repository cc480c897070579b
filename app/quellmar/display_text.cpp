#include "display_text.h"

#include "basic/display_text.h"

namespace quellmar {

QString DisplayText(std::string_view bytes) { return QString::fromStdString(DisplayUtf8(bytes)); }

std::string AnsiText(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) bytes.push_back(AnsiByte(c.unicode()));
  return bytes;
}

}  // namespace quellmar
