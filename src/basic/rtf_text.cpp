#include "basic/rtf_text.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "basic/display_text.h"

namespace quellmar {
namespace {

// Control words that mark their group as holding no text of the document.
// clang-format off
constexpr std::string_view kSkippedGroups[] = {
    "author",    "colorschememapping", "colortbl",  "comment",      "datastore",
    "doccomm",   "filetbl",            "fldinst",   "fonttbl",      "footer",
    "footerf",   "footerl",            "footerr",   "footnote",     "generator",
    "header",    "headerf",            "headerl",   "headerr",      "info",
    "keywords",  "latentstyles",       "listoverridetable", "listtable", "nonshppict",
    "object",    "operator",           "pict",      "revtbl",       "rsidtbl",
    "stylesheet", "subject",           "themedata", "title",        "xmlnstbl"};

// Control words that stand for a character.
constexpr std::pair<std::string_view, char> kCharacterWords[] = {
    {"bullet",    '\x95'}, {"cell",      '\t'},   {"emdash",  '\x97'}, {"emspace", ' '},
    {"endash",    '\x96'}, {"enspace",   ' '},    {"ldblquote", '\x93'}, {"line",  '\n'},
    {"lquote",    '\x91'}, {"page",      '\n'},   {"par",     '\n'},   {"qmspace", ' '},
    {"rdblquote", '\x94'}, {"row",       '\n'},   {"rquote",  '\x92'}, {"sect",    '\n'},
    {"tab",       '\t'}};
// clang-format on

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class RtfReader {
 public:
  explicit RtfReader(std::string_view rtf) : rtf_(rtf) {}

  std::string read() && {
    while (p_ < rtf_.size() && !ended_) readToken();
    while (!text_.empty() && text_.back() == '\n') text_.pop_back();
    return std::move(text_);
  }

 private:
  // What a group passes to the groups inside it.
  struct Group {
    bool skipped = false;  // its text is not the document's
    int fallback = 1;      // bytes of fallback text after a \uN (\ucN)
  };

  void readToken() {
    const char c = rtf_[p_++];
    switch (c) {
      case '{':
        groups_.push_back(groups_.back());
        fallbackLeft_ = 0;
        break;
      case '}':
        fallbackLeft_ = 0;
        if (groups_.size() == 1) break;  // a brace too many
        groups_.pop_back();
        ended_ = groups_.size() == 1;
        break;
      case '\\':
        readControl();
        break;
      case '\r':
      case '\n':
        break;  // line ends of the source are no text
      default:
        character(c);
    }
  }

  void readControl() {
    if (p_ == rtf_.size()) return;
    if (IsLetter(rtf_[p_])) {
      readControlWord();
      return;
    }
    const char symbol = rtf_[p_++];
    if (symbol == '\'') {
      readHexByte();
      return;
    }
    if (passFallback()) return;
    switch (symbol) {
      case '\\':
      case '{':
      case '}':
        append(symbol);
        break;
      case '~':
        append('\xA0');
        break;
      case '_':
        append('-');
        break;
      case '\r':
      case '\n':
        append('\n');
        break;
      case '*':
        groups_.back().skipped = true;  // a destination this reader need not know
        break;
      default:
        break;  // optional hyphen, index entries
    }
  }

  // A byte of the code page; one cut short stands for nothing.
  void readHexByte() {
    int byte = 0;
    int digits = 0;
    for (; digits < 2 && p_ < rtf_.size() && HexValue(rtf_[p_]) >= 0; ++digits) {
      byte = byte * 16 + HexValue(rtf_[p_++]);
    }
    if (digits == 2) character(static_cast<char>(byte));
  }

  void readControlWord() {
    const std::size_t start = p_;
    while (p_ < rtf_.size() && IsLetter(rtf_[p_])) ++p_;
    const std::string_view word = rtf_.substr(start, p_ - start);
    const bool negative = p_ + 1 < rtf_.size() && rtf_[p_] == '-' && IsDigit(rtf_[p_ + 1]);
    if (negative) ++p_;
    const bool hasParameter = p_ < rtf_.size() && IsDigit(rtf_[p_]);
    std::int64_t parameter = 0;
    for (; p_ < rtf_.size() && IsDigit(rtf_[p_]); ++p_) {
      parameter = std::min<std::int64_t>(parameter * 10 + (rtf_[p_] - '0'), INT32_MAX);
    }
    if (negative) parameter = -parameter;
    if (p_ < rtf_.size() && rtf_[p_] == ' ') ++p_;  // the delimiter belongs to the word
    if (word == "bin" && hasParameter) {
      // Binary data, skipped whole so that its bytes are not read as RTF.
      p_ += static_cast<std::size_t>(
          std::clamp<std::int64_t>(parameter, 0, static_cast<std::int64_t>(rtf_.size() - p_)));
    }
    if (passFallback()) return;
    controlWord(word, hasParameter, parameter);
  }

  void controlWord(std::string_view word, bool hasParameter, std::int64_t parameter) {
    if (word == "u" && hasParameter) {
      unicode(parameter < 0 ? parameter + 65536 : parameter);
    } else if (word == "uc" && hasParameter) {
      groups_.back().fallback = static_cast<int>(std::max<std::int64_t>(parameter, 0));
    } else if (std::find(std::begin(kSkippedGroups), std::end(kSkippedGroups), word) !=
               std::end(kSkippedGroups)) {
      groups_.back().skipped = true;
    } else {
      for (const auto& [name, c] : kCharacterWords) {
        if (name == word) append(c);
      }
    }
  }

  // A character by its code: its windows-1252 byte in place of the fallback
  // text that follows, or, where the code page lacks it, that fallback.
  void unicode(std::int64_t code) {
    if (code < 0x20 || code > 0x10FFFF) return;
    const char byte = AnsiByte(static_cast<char32_t>(code));
    if (byte == '?' && code != '?') return;
    append(byte);
    fallbackLeft_ = groups_.back().fallback;
  }

  // Whether the token just read is part of a \uN's fallback, passed over.
  bool passFallback() {
    if (fallbackLeft_ == 0) return false;
    --fallbackLeft_;
    return true;
  }

  void character(char c) {
    if (!passFallback()) append(c);
  }

  void append(char c) {
    if (!groups_.back().skipped) text_ += c;
  }

  std::string_view rtf_;
  std::size_t p_ = 0;
  std::vector<Group> groups_{Group{}};  // innermost last; the first is outside every group
  int fallbackLeft_ = 0;
  bool ended_ = false;
  std::string text_;
};

}  // namespace

bool IsRtf(std::string_view text) { return text.starts_with("{\\rtf"); }

std::string RtfText(std::string_view rtf) { return RtfReader(rtf).read(); }

}  // namespace quellmar
