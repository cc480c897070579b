#include "html_out/html_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "basic/display_text.h"

namespace quellmar {
namespace {

// A tag the text may keep, with the attributes it keeps, in the order they
// are written.
struct KeptTag {
  std::string_view name;
  std::array<std::string_view, 3> attributes{};
  bool empty = false;  // no content and no closing tag
};

// clang-format off
constexpr KeptTag kKeptTags[] = {
    {"a",      {"href"}},
    {"b"},
    {"br",     {}, true},
    {"em"},
    {"font",   {"color", "size", "face"}},
    {"i"},
    {"p"},
    {"strong"},
    {"u"},
};
// clang-format on

const KeptTag* FindKept(std::string_view name) {
  for (const auto& tag : kKeptTags) {
    if (tag.name == name) return &tag;
  }
  return nullptr;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Whether a browser reads markup from the "<" at text[at]: a tag, a closing
// tag, a comment or declaration; or, at the end of the text, whatever the
// page writes next.
bool StartsMarkup(std::string_view text, std::size_t at) {
  if (at + 1 == text.size()) return true;
  const char next = text[at + 1];
  return IsLetter(next) || next == '/' || next == '!' || next == '?';
}

// Whether a tag or closing tag starts at the "<" at text[at].
bool StartsTag(std::string_view text, std::size_t at) {
  std::size_t p = at + 1;
  if (p < text.size() && text[p] == '/') ++p;
  return p < text.size() && IsLetter(text[p]);
}

// Writes text[from, to) to show as text: each "<" that would start markup
// is written "&lt;", every other byte as it is.
void AppendAsText(std::string& out, std::string_view text, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (text[i] == '<' && StartsMarkup(text, i)) {
      out += "&lt;";
    } else {
      out += text[i];
    }
  }
}

struct Attribute {
  std::string name;        // lower case
  std::string_view value;  // as written, its character references unread
};

struct Tag {
  bool closing = false;
  std::string name;  // lower case
  std::vector<Attribute> attributes;
  std::size_t end = 0;  // just past its ">"
};

// The tag that starts at the "<" at text[at], read as a browser reads it:
// the name runs to a blank, "/" or ">"; an attribute value is quoted with "
// or ' (a ">" inside belongs to it) or runs to a blank or ">". Nothing when
// the text ends inside the tag.
std::optional<Tag> ReadTag(std::string_view text, std::size_t at) {
  const auto ends = [&](std::size_t p) { return p >= text.size(); };
  const auto endsName = [&](std::size_t p) {
    return IsBlank(text[p]) || text[p] == '/' || text[p] == '>';
  };
  Tag tag;
  std::size_t p = at + 1;
  if (!ends(p) && text[p] == '/') {
    tag.closing = true;
    ++p;
  }
  for (; !ends(p) && !endsName(p); ++p) tag.name += Lower(text[p]);
  for (;;) {
    while (!ends(p) && (IsBlank(text[p]) || text[p] == '/')) ++p;
    if (ends(p)) return std::nullopt;
    if (text[p] == '>') {
      tag.end = p + 1;
      return tag;
    }
    Attribute& attribute = tag.attributes.emplace_back();
    attribute.name += Lower(text[p++]);  // may be "=", as in a browser
    for (; !ends(p) && !endsName(p) && text[p] != '='; ++p) attribute.name += Lower(text[p]);
    while (!ends(p) && IsBlank(text[p])) ++p;
    if (ends(p) || text[p] != '=') continue;
    ++p;
    while (!ends(p) && IsBlank(text[p])) ++p;
    if (ends(p)) return std::nullopt;
    const char quote = text[p];
    if (quote == '"' || quote == '\'') {
      const auto close = text.find(quote, p + 1);
      if (close == std::string_view::npos) return std::nullopt;
      attribute.value = text.substr(p + 1, close - p - 1);
      p = close + 1;
    } else {
      const std::size_t start = p;
      while (!ends(p) && !IsBlank(text[p]) && text[p] != '>') ++p;
      attribute.value = text.substr(start, p - start);
    }
  }
}

int DigitValue(char c, int base) {
  int value = base;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// The windows-1252 byte a browser reads for a numeric character reference:
// 128 to 159 are that code page's own characters there too.
char ReferencedByte(std::uint32_t code) {
  if (code == 0 || code > 0x10FFFF) return '?';
  if (code < 0x100) return static_cast<char>(code);
  return AnsiByte(static_cast<char32_t>(code));
}

struct Reference {
  char byte = 0;
  std::size_t length = 0;  // 0: no reference read
};

// The character reference at the front of text (which starts with "&"):
// numeric, with or without ";", or one of the few named ones a diver writes.
Reference ReadReference(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"&amp;", '&'},  {"&lt;", '<'},    {"&gt;", '>'},
      {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", '\xA0'}};
  for (const auto& [name, byte] : kNamed) {
    if (text.starts_with(name)) return {byte, name.size()};
  }
  if (text.size() < 3 || text[1] != '#') return {};
  const int base = (text[2] == 'x' || text[2] == 'X') ? 16 : 10;
  const std::size_t first = base == 16 ? 3 : 2;
  std::size_t p = first;
  std::uint32_t code = 0;
  for (; p < text.size(); ++p) {
    const int digit = DigitValue(text[p], base);
    if (digit < 0) break;
    code = std::min<std::uint32_t>(code * base + static_cast<std::uint32_t>(digit), 0x110000);
  }
  if (p == first) return {};
  if (p < text.size() && text[p] == ';') ++p;
  return {ReferencedByte(code), p};
}

// Tabs and line ends go anywhere in an address, as a browser drops them.
void DropTabsAndLineEnds(std::string& address) {
  std::erase_if(address, [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
}

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The address as a browser takes it (tabs and line ends dropped anywhere,
// controls and blanks trimmed at both ends) when it is an http, https or
// mailto address; so "java\tscript:" is seen as the script it is.
std::optional<std::string> SafeAddress(std::string address) {
  DropTabsAndLineEnds(address);
  const auto first = std::find_if_not(address.begin(), address.end(), IsControlOrBlank);
  const auto last = std::find_if_not(address.rbegin(), address.rend(), IsControlOrBlank).base();
  address = first < last ? std::string(first, last) : std::string();
  for (const std::string_view scheme : {"http:", "https:", "mailto:"}) {
    if (address.size() >= scheme.size() &&
        std::equal(scheme.begin(), scheme.end(), address.begin(),
                   [](char s, char a) { return s == Lower(a); })) {
      return address;
    }
  }
  return std::nullopt;
}

// The reference for a byte an attribute value cannot hold as it is; null for
// one it can. Blanks, "=" and "`" only matter where the value has no quotes.
const char* AttributeReference(char c, bool quoted) {
  switch (c) {
    case '&':
      return "&amp;";
    case '"':
      return "&quot;";
    case '\'':
      return "&#39;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    default:
      break;
  }
  if (quoted) return nullptr;
  switch (c) {
    case ' ':
      return "&#32;";
    case '\t':
      return "&#9;";
    case '\n':
      return "&#10;";
    case '\f':
      return "&#12;";
    case '\r':
      return "&#13;";
    case '=':
      return "&#61;";
    case '`':
      return "&#96;";
    default:
      return nullptr;
  }
}

void AppendEscaped(std::string& out, std::string_view value, bool quoted = true) {
  for (const char c : value) {
    const char* reference = AttributeReference(c, quoted);
    if (reference != nullptr) {
      out += reference;
    } else {
      out += c;
    }
  }
}

constexpr char kHexDigits[] = "0123456789abcdef";

// Whether text starts with a scheme and its ":", as a URL parser reads one:
// a letter, then letters, digits, "+", "-" or ".".
std::size_t SchemeLength(std::string_view text) {
  if (text.empty() || !IsLetter(text[0])) return 0;
  std::size_t p = 1;
  while (p < text.size() && (IsLetter(text[p]) || (text[p] >= '0' && text[p] <= '9') ||
                             text[p] == '+' || text[p] == '-' || text[p] == '.')) {
    ++p;
  }
  return p < text.size() && text[p] == ':' ? p + 1 : 0;
}

// The opening tag with its kept attributes, each the first of its name (as a
// browser takes it); a link whose address is not safe keeps no address.
void WriteOpening(std::string& out, const KeptTag& kept, const Tag& tag) {
  out += '<';
  out += kept.name;
  for (const std::string_view name : kept.attributes) {
    if (name.empty()) break;
    const auto given = std::find_if(tag.attributes.begin(), tag.attributes.end(),
                                    [&](const Attribute& a) { return a.name == name; });
    if (given == tag.attributes.end()) continue;
    std::optional<std::string> value = ReadReferences(given->value);
    if (name == "href") value = SafeAddress(std::move(*value));
    if (!value) continue;
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, *value);
    out += '"';
  }
  out += '>';
}

// The text's kept tags that are open, innermost last, with a count of each
// kind, so that a closing tag of a kind that is not open costs no search.
class OpenTags {
 public:
  void push(const KeptTag& tag) {
    tags_.push_back(&tag);
    ++counts_[Kind(tag)];
  }
  bool isOpen(const KeptTag& tag) const { return counts_[Kind(tag)] > 0; }

  // Closes the innermost open tag of this kind and those opened inside it.
  void closeThrough(std::string& out, const KeptTag& tag) {
    const KeptTag* closed = nullptr;
    do {
      closed = closeInnermost(out);
    } while (closed != &tag);
  }
  void closeAll(std::string& out) {
    while (!tags_.empty()) closeInnermost(out);
  }

 private:
  static std::size_t Kind(const KeptTag& tag) {
    return static_cast<std::size_t>(&tag - std::begin(kKeptTags));
  }
  const KeptTag* closeInnermost(std::string& out) {
    const KeptTag* const tag = tags_.back();
    out += "</";
    out += tag->name;
    out += '>';
    tags_.pop_back();
    --counts_[Kind(*tag)];
    return tag;
  }

  std::vector<const KeptTag*> tags_;
  std::array<int, std::size(kKeptTags)> counts_{};
};

// Writes tag when it is kept; false when it is not. A closing tag is kept
// when its tag is open, and closes the tags opened inside it too, so that the
// text's tags stay nested and close nothing of the page around them.
bool WriteKept(std::string& out, OpenTags& open, const Tag& tag) {
  const KeptTag* const kept = FindKept(tag.name);
  if (kept == nullptr) return false;
  if (!tag.closing) {
    WriteOpening(out, *kept, tag);
    if (!kept->empty) open.push(*kept);
    return true;
  }
  if (!open.isOpen(*kept)) return false;
  open.closeThrough(out, *kept);
  return true;
}

}  // namespace

// An attribute value as the bytes a browser reads from it. Any other "&"
// stays a plain "&", which is written escaped, so the browser reads from the
// written value exactly the bytes checked here.
std::string ReadReferences(std::string_view value) {
  std::string bytes;
  for (std::size_t p = 0; p < value.size();) {
    const Reference reference = value[p] == '&' ? ReadReference(value.substr(p)) : Reference{};
    if (reference.length > 0) {
      bytes += reference.byte;
      p += reference.length;
    } else {
      bytes += value[p++];
    }
  }
  return bytes;
}

std::string TextInAttribute(std::string_view text, bool quoted) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text, quoted);
  return out;
}

std::string TextInScript(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/') {
      out += "\\/";
    } else if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\'' || c == '`' || c == '\\' ||
               c == '<' || c == '>' || c == '&' || c == '$' || c == '*' || c == '[' || c == ']') {
      out += "\\x";
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string TextInStyle(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = IsLetter(c) || (c >= '0' && c <= '9') || byte >= 0x80 || c == ' ' ||
                       c == '.' || c == ',' || c == '#' || c == '%' || c == '_' || c == '-';
    if (plain) {
      out += c;
      continue;
    }
    // The blank ends the escape, so that a hex digit after it stays itself.
    out += '\\';
    if (byte >= 16) out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
    out += ' ';
  }
  return out;
}

std::string TextInComment(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool ends = text[i] == '>' && (i == 0 || text[i - 1] == '-' || text[i - 1] == '!');
    if (ends) {
      out += "&gt;";
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsSafeAddress(std::string_view address, bool atStart) {
  std::string read(address);
  DropTabsAndLineEnds(read);
  std::string_view rest = read;
  if (atStart) {
    const auto first = std::find_if_not(rest.begin(), rest.end(), IsControlOrBlank);
    rest.remove_prefix(static_cast<std::size_t>(first - rest.begin()));
  }
  const auto end = rest.find_first_of(":/?#");
  if (end == std::string_view::npos || rest[end] != ':') return true;
  if (!atStart) return false;
  const std::size_t scheme = SchemeLength(rest);
  if (scheme == 0) return true;  // "41:37": a path, no scheme
  std::string name(rest.substr(0, scheme));
  std::transform(name.begin(), name.end(), name.begin(), Lower);
  return name == "http:" || name == "https:" || name == "mailto:";
}

std::string KeepHarmlessMarkup(std::string_view text) {
  auto lt = text.find('<');
  if (lt == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() + 16);
  OpenTags open;
  std::size_t p = 0;
  for (; lt != std::string_view::npos; lt = text.find('<', p)) {
    out.append(text.substr(p, lt - p));
    if (!StartsTag(text, lt)) {
      out += StartsMarkup(text, lt) ? "&lt;" : "<";
      p = lt + 1;
      continue;
    }
    // A tag the text ends in runs to the end. Each byte is read once, so
    // that no text, however made, takes longer than its length.
    const std::optional<Tag> tag = ReadTag(text, lt);
    p = tag ? tag->end : text.size();
    if (!tag || !WriteKept(out, open, *tag)) AppendAsText(out, text, lt, p);
  }
  out.append(text.substr(p));
  // Formatting left open would restyle the page after this text.
  open.closeAll(out);
  return out;
}

}  // namespace quellmar
