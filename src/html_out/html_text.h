// Text from the export on its way into a page: the harmless formatting a
// diver may have typed into a site, a buddy or a note is kept, and every
// other piece of markup is made to show as text, so that nothing an export
// holds can run as script in the logbook.
#pragma once

#include <string>
#include <string_view>

namespace quellmar {

// The text with its harmless formatting kept: b, i, u, em, strong, br, p,
// font (color, size, face) and a (an http, https or mailto href). A kept tag
// is written back in lower case with just those attributes, quoted and
// escaped; a closing tag is kept when its tag is open in this text, and what
// is still open at the end is closed there. Any other markup (a tag, a
// closing tag, a comment; a tag the text ends in runs to the end) shows as
// text: each "<" in it that would start markup is written "&lt;", and so is
// a "<" at the very end, which could start a tag with what the page writes
// next. Text without markup passes byte for byte.
std::string KeepHarmlessMarkup(std::string_view text);

// The same text for the other places of a page, each written so that the
// browser reads back exactly the text and nothing else of it.

// In an attribute value: "&", "<", ">" and both quotes as references; in an
// unquoted value also blanks, "=" and "`", which would end it or start another.
std::string TextInAttribute(std::string_view text, bool quoted = true);

// Inside a script's string literal (also its comments and regular
// expressions): every byte that could end the literal, the comment or the
// script element, start a substitution or a pattern's class, as a "\x"
// escape ("\x27" for "'", "\x3c" for "<"), and "/" as "\/".
std::string TextInScript(std::string_view text);

// In a style sheet, in or out of its strings: every byte but letters,
// digits, blanks and ".,#%_-" as a CSS escape ("\3c " for "<").
std::string TextInStyle(std::string_view text);

// In an HTML comment: a ">" that could end it (after "-" or "!", or the
// first byte, after the comment's own "<!--") as "&gt;"; the rest as it is.
std::string TextInComment(std::string_view text);

// Whether an address is one a link may lead to: an http, https or mailto
// address or a relative one, read as a browser reads it ("java\tscript:" is
// the script it is). Not at the start of its attribute, where text before it
// could make any scheme, a ":" before the first "/", "?" or "#" is refused.
bool IsSafeAddress(std::string_view address, bool atStart = true);

// An attribute value's text as the bytes a browser reads from it: its
// character references read (numeric ones and the few named ones a diver
// writes).
std::string ReadReferences(std::string_view value);

}  // namespace quellmar
