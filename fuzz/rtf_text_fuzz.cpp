// The RTF reader on any bytes: it ends, and its text is never longer than
// the input nor ends in a line end. Any text written as RTF ("\", "{" and
// "}" escaped, a line feed as \line, a carriage return as \'0d) reads back as
// itself, but for the line ends at its very end.
#include <cstdint>
#include <string>
#include <string_view>

#include "basic/rtf_text.h"
#include "fuzz_support.h"

namespace {

std::string AsRtf(std::string_view text) {
  std::string rtf = "{\\rtf1 ";
  for (const char c : text) {
    switch (c) {
      case '\\':
      case '{':
      case '}':
        rtf += '\\';
        rtf += c;
        break;
      case '\n':
        rtf += "\\line ";
        break;
      case '\r':
        rtf += "\\'0d";
        break;
      default:
        rtf += c;
    }
  }
  return rtf + "}";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = quellmar::fuzz::AsText(data, size);
  const std::string text = quellmar::RtfText(input);
  FUZZ_CHECK(text.size() <= input.size());
  FUZZ_CHECK(text.empty() || text.back() != '\n');

  std::string_view expected = input;
  while (!expected.empty() && expected.back() == '\n') expected.remove_suffix(1);
  FUZZ_CHECK(quellmar::RtfText(AsRtf(input)) == expected);
  return 0;
}
