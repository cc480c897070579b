// The program's texts are bytes: the export's contents in the Windows ANSI
// code page (windows-1252) and file paths in the system's own encoding
// (UTF-8 on Linux). Where such a text meets a person (a widget, a UTF-8
// terminal) it is shown through these; files keep the bytes as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quellmar {

// The text as UTF-8. A text that is valid UTF-8 and holds more than plain
// ASCII stays as it is (a path with accented letters); any other text is read
// as windows-1252. A windows-1252 text with accented letters is practically
// never valid UTF-8, so both kinds of text come out right.
std::string DisplayUtf8(std::string_view bytes);

// The export's windows-1252 bytes as UTF-8, character for character; the
// five codes windows-1252 leaves unused keep their value (C1 controls).
std::string Utf8FromWindows1252(std::string_view bytes);
// The same in place, for a text that may be as long as a file: the length
// the bytes take as UTF-8, to reserve room for them once, and their
// conversion appended to text.
std::size_t Utf8Length(std::string_view bytes);
void AppendUtf8FromWindows1252(std::string& text, std::string_view bytes);

// UTF-8 text as windows-1252, for a screen that shows that code page; a
// character the code page lacks becomes "?". Malformed bytes are taken as
// windows-1252 already.
std::string Windows1252FromUtf8(std::string_view text);

// The windows-1252 byte of a character, or '?' when the code page lacks it.
char AnsiByte(char32_t code);

}  // namespace quellmar
