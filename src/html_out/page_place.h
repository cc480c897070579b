// Where a value stands in a page: the page is followed as a browser reads
// it, through the template's own text, so that each value between can be
// written for its place (element text, an attribute value of some kind, a
// script, a style sheet, a comment) and read back by the browser as the
// text it is, never as markup or code. The values themselves do not move the
// reading on: written for their place, they leave the page where it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quellmar {

// The place of a value.
struct ValuePlace {
  enum class In : std::uint8_t {
    Text,         // element text
    PlainText,    // text of an element that holds no markup (title, textarea, ...)
    Name,         // in a tag, but outside an attribute value: no value goes there
    Comment,      // an HTML comment
    Declaration,  // "<!x ...>" or "<?...>", which end at the first ">"
    Script,       // in a script element
    Style,        // in a style element
    Attribute,    // an attribute value, of the kind below
  };
  enum class Kind : std::uint8_t {
    Plain,
    Address,  // href, src, action, ...
    Script,   // an event handler (on...), or a "javascript:" address
    Style,    // style
    Markup,   // srcdoc: a page of its own
  };
  // Where in a script: in the code, inside a string literal, comment or
  // regular expression, or where a regular expression starts.
  enum class ScriptPart : std::uint8_t { Code, Literal, PatternStart };
  // Where in an address: at its start (the scheme is the value's), further
  // on while no "/", "?", "#" or ":" has settled the scheme, or after that.
  enum class AddressPart : std::uint8_t { Start, Scheme, Rest };

  In in = In::Text;
  Kind kind = Kind::Plain;
  bool quoted = true;       // an attribute value in quotes
  bool valueStart = false;  // an unquoted value not begun: it needs a byte
  ScriptPart script = ScriptPart::Code;
  AddressPart address = AddressPart::Start;

  bool operator==(const ValuePlace&) const = default;
};

// Reads a script as far as telling whether a point in it is inside a string
// literal (quotes or backquotes), a comment or a regular expression, or in
// the code itself.
class ScriptReader {
 public:
  void read(char c);
  // A value written here, as a string or a number in the code, or inside a
  // literal; the code goes on after an operand.
  void readValue();
  ValuePlace::ScriptPart part() const;

  bool operator==(const ScriptReader&) const = default;

 private:
  enum class State : std::uint8_t {
    Code,
    Slash,  // a "/" in the code: a comment, a regular expression or a division
    Single,
    Double,
    Backquote,
    LineComment,
    BlockComment,
    Pattern,       // a regular expression
    PatternClass,  // its "[...]"
  };
  void readInCode(char c);
  bool slashStartsPattern() const;

  State state_ = State::Code;
  bool escaped_ = false;
  char previous_ = 0;               // the byte before, in a comment or a pattern
  char lastCode_ = 0;               // the last byte of the code that is not a blank
  std::vector<int> substitutions_;  // open "${" of backquoted strings: braces in each
};

// Follows a page through the template text written into it.
class PageReader {
 public:
  void read(std::string_view text);
  ValuePlace place() const;
  // A value was written at place().
  void readValue();

  bool operator==(const PageReader&) const = default;

 private:
  enum class State : std::uint8_t {
    Data,
    TagOpen,
    EndTagOpen,
    TagName,
    BeforeAttributeName,
    AttributeName,
    AfterAttributeName,
    BeforeAttributeValue,
    AttributeValue,
    AfterAttributeValue,
    SelfClosing,
    DeclarationOpen,  // "<!"
    DeclarationDash,  // "<!-"
    CommentStart,
    CommentStartDash,
    Comment,
    CommentEndDash,
    CommentEnd,
    CommentEndBang,
    Declaration,
    RawText,      // the text of a script, style, title, ... element
    RawLessThan,  // "<" in it
    RawEndTag,    // "</" and the start of a name in it
  };
  void readByte(char c);
  void readInTag(char c);
  void readInComment(char c);
  void readRaw(char c);
  void startValue(char quote);
  void readValueText(std::string_view text);
  void endValue();
  void endTag();
  void flush();

  State state_ = State::Data;
  std::string tagName_;  // lower case
  bool endTag_ = false;
  std::string rawElement_;  // the element whose text is raw
  std::size_t rawMatched_ = 0;
  std::string attribute_;  // lower case
  ValuePlace::Kind kind_ = ValuePlace::Kind::Plain;
  char quote_ = 0;             // of the value: '"', '\'' or 0
  std::string pending_;        // the value's template text not yet read, references unread
  std::string addressStart_;   // what the address holds before its scheme settled
  bool valueWritten_ = false;  // a value is in this attribute value already
  ValuePlace::AddressPart address_ = ValuePlace::AddressPart::Start;
  ScriptReader script_;
};

}  // namespace quellmar
