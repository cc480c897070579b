// The program's texts (bytes) as Qt strings for the widgets, and typed text
// back; basic/display_text.h holds the rule.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quellmar {

// The bytes as DisplayUtf8 reads them.
QString DisplayText(std::string_view bytes);

// What the user typed, as windows-1252 bytes for the program's logic;
// characters the code page lacks become "?".
std::string AnsiText(const QString& text);

}  // namespace quellmar
