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

}  // namespace quellmar
