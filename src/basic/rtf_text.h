// Notes that the dive manager stored as rich text (RTF), read as the text
// the diver wrote rather than as RTF code.
#pragma once

#include <string>
#include <string_view>

namespace quellmar {

// Whether text starts an RTF document.
bool IsRtf(std::string_view text);

// The text of an RTF document as windows-1252 bytes: a paragraph or line
// end becomes "\n" (none is kept after the last text), a tab "\t"; a \'hh
// byte is kept as it is, a \uN character becomes its windows-1252 byte, or
// its fallback text where the code page lacks it. Groups that hold no text
// of the document (font, colour and style tables, document information,
// pictures, headers, every {\* } group) are left out. Reading ends where the
// outer group closes; unbalanced braces or a cut-off document give the text
// read so far. The text is never longer than the document.
std::string RtfText(std::string_view rtf);

}  // namespace quellmar
