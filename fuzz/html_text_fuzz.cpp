// The filter of export text on any text. Text without "<" passes unchanged,
// and a second pass changes nothing. In what it writes, every "<" either
// starts a kept tag in its written form (lower case, only its own attributes,
// each double-quoted, a link only to an http, https or mailto address), the
// closing tags in the order the tags were opened and every tag closed at the
// end, or is followed by a byte that starts no markup. So no script, style,
// frame, object, embed or form tag, no event handler and no javascript: or
// data: address can reach a page.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "html_out/html_text.h"

namespace {

struct Allowed {
  std::string_view name;
  std::vector<std::string_view> attributes;
};

const Allowed kAllowed[] = {
    {"a", {"href"}}, {"b", {}}, {"br", {}},     {"em", {}}, {"font", {"color", "size", "face"}},
    {"i", {}},       {"p", {}}, {"strong", {}}, {"u", {}}};

const Allowed* FindAllowed(std::string_view name) {
  for (const auto& allowed : kAllowed) {
    if (allowed.name == name) return &allowed;
  }
  return nullptr;
}

char At(std::string_view text, std::size_t p) { return p < text.size() ? text[p] : '\0'; }

std::string_view LowerWord(std::string_view text, std::size_t& p) {
  const std::size_t start = p;
  while (At(text, p) >= 'a' && At(text, p) <= 'z') ++p;
  return text.substr(start, p - start);
}

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}

void CheckAddress(std::string_view address) {
  const std::string lowered = Lowered(address);
  FUZZ_CHECK(lowered.starts_with("http:") || lowered.starts_with("https:") ||
             lowered.starts_with("mailto:"));
  FUZZ_CHECK(address.find_first_of("\t\n\r") == std::string_view::npos);
}

// The written tag at out[at]; returns the position after it.
std::size_t CheckKeptTag(std::string_view out, std::size_t at, std::vector<std::string>& open) {
  std::size_t p = at + 1;
  const bool closing = At(out, p) == '/';
  if (closing) ++p;
  const std::string_view name = LowerWord(out, p);
  const Allowed* const allowed = FindAllowed(name);
  FUZZ_CHECK(allowed != nullptr);
  if (closing) {
    FUZZ_CHECK(!open.empty() && open.back() == name);
    open.pop_back();
  } else {
    while (At(out, p) == ' ') {
      ++p;
      const std::string_view attribute = LowerWord(out, p);
      FUZZ_CHECK(std::find(allowed->attributes.begin(), allowed->attributes.end(), attribute) !=
                 allowed->attributes.end());
      FUZZ_CHECK(out.substr(p, 2) == "=\"");
      const auto end = out.find('"', p + 2);
      FUZZ_CHECK(end != std::string_view::npos);
      const std::string_view value = out.substr(p + 2, end - p - 2);
      FUZZ_CHECK(value.find_first_of("<>") == std::string_view::npos);
      if (attribute == "href") CheckAddress(value);
      p = end + 1;
    }
    if (name != "br") open.emplace_back(name);
  }
  FUZZ_CHECK(At(out, p) == '>');
  return p + 1;
}

void CheckWritten(std::string_view out) {
  std::vector<std::string> open;
  for (auto lt = out.find('<'); lt != std::string_view::npos;) {
    const char next = At(out, lt + 1);
    const bool markup = lt + 1 == out.size() || std::isalpha(static_cast<unsigned char>(next)) ||
                        next == '/' || next == '!' || next == '?';
    lt = out.find('<', markup ? CheckKeptTag(out, lt, open) : lt + 1);
  }
  FUZZ_CHECK(open.empty());
  const std::string lowered = Lowered(out);
  for (const char* banned : {"<script", "<style", "<iframe", "<object", "<embed", "<form"}) {
    FUZZ_CHECK(lowered.find(banned) == std::string::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = quellmar::fuzz::AsText(data, size);
  const std::string out = quellmar::KeepHarmlessMarkup(text);
  if (text.find('<') == std::string_view::npos) FUZZ_CHECK(out == text);
  CheckWritten(out);
  FUZZ_CHECK(quellmar::KeepHarmlessMarkup(out) == out);
  return 0;
}
