// The program's texts are bytes: CSV contents in the Windows ANSI code page
// (windows-1252) and file paths in the system's own encoding (UTF-8). These
// two functions turn them into Qt strings for the widgets and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quellmar {

// A text that is valid UTF-8 and holds more than plain ASCII is shown as
// UTF-8 (a path with accented letters); any other text as windows-1252. A
// windows-1252 text with accented letters is practically never valid UTF-8,
// so both kinds of text come out right.
QString DisplayText(std::string_view bytes);

// What the user typed, as windows-1252 bytes for the program's logic;
// characters the code page lacks become "?".
std::string AnsiText(const QString& text);

}  // namespace quellmar
