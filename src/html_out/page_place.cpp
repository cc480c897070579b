#include "html_out/page_place.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "html_out/html_text.h"

namespace quellmar {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Elements whose text the browser reads without markup, up to their end tag.
bool HoldsRawText(std::string_view element) {
  static constexpr std::array<std::string_view, 10> kRaw = {
      "script", "style",   "title",    "textarea", "xmp",
      "iframe", "noembed", "noframes", "noscript", "plaintext"};
  return std::find(kRaw.begin(), kRaw.end(), element) != kRaw.end();
}

ValuePlace::Kind KindOf(std::string_view attribute) {
  // clang-format off
  static constexpr std::array<std::string_view, 21> kAddresses = {
      "action", "archive", "background", "cite", "classid", "codebase", "data", "dynsrc",
      "formaction", "href", "icon", "longdesc", "lowsrc", "manifest", "ping", "poster",
      "profile", "src", "srcset", "usemap", "xlink:href"};
  // clang-format on
  if (attribute.starts_with("on")) return ValuePlace::Kind::Script;
  if (attribute == "style") return ValuePlace::Kind::Style;
  if (attribute == "srcdoc") return ValuePlace::Kind::Markup;
  if (std::find(kAddresses.begin(), kAddresses.end(), attribute) != kAddresses.end()) {
    return ValuePlace::Kind::Address;
  }
  return ValuePlace::Kind::Plain;
}

}  // namespace

bool ScriptReader::slashStartsPattern() const {
  // After an operand a "/" divides; anywhere else it starts a pattern.
  return lastCode_ == 0 || std::strchr("(,=:[!&|?{};+-*%<>~^", lastCode_) != nullptr;
}

ValuePlace::ScriptPart ScriptReader::part() const {
  using Part = ValuePlace::ScriptPart;
  if (state_ == State::Slash) return slashStartsPattern() ? Part::PatternStart : Part::Code;
  return state_ == State::Code ? Part::Code : Part::Literal;
}

void ScriptReader::readInCode(char c) {
  switch (c) {
    case '"':
      state_ = State::Double;
      return;
    case '\'':
      state_ = State::Single;
      return;
    case '`':
      state_ = State::Backquote;
      previous_ = 0;
      return;
    case '/':
      state_ = State::Slash;
      return;
    case '{':
      if (!substitutions_.empty()) ++substitutions_.back();
      break;
    case '}':
      if (!substitutions_.empty()) {
        if (substitutions_.back() == 0) {
          substitutions_.pop_back();
          state_ = State::Backquote;
          previous_ = 0;
          return;
        }
        --substitutions_.back();
      }
      break;
    default:
      break;
  }
  if (!IsBlank(c)) lastCode_ = c;
}

void ScriptReader::read(char c) {
  const auto endsString = [&](char quote) {
    if (escaped_) {
      escaped_ = false;
    } else if (c == '\\') {
      escaped_ = true;
    } else if (c == quote) {
      state_ = State::Code;
      lastCode_ = quote;
      return true;
    }
    return false;
  };
  switch (state_) {
    case State::Code:
      readInCode(c);
      break;
    case State::Slash:
      if (c == '/') {
        state_ = State::LineComment;
      } else if (c == '*') {
        state_ = State::BlockComment;
        previous_ = 0;
      } else if (slashStartsPattern()) {
        state_ = State::Pattern;
        read(c);
      } else {
        state_ = State::Code;
        lastCode_ = '/';
        readInCode(c);
      }
      break;
    case State::Single:
      endsString('\'');
      break;
    case State::Double:
      endsString('"');
      break;
    case State::Backquote: {
      const bool substitution = !escaped_ && previous_ == '$' && c == '{';
      const bool wasEscaped = escaped_;
      if (endsString('`')) break;
      previous_ = wasEscaped ? 0 : c;
      if (substitution) {
        substitutions_.push_back(0);
        state_ = State::Code;
        lastCode_ = '{';
      }
      break;
    }
    case State::LineComment:
      if (c == '\n' || c == '\r') state_ = State::Code;
      break;
    case State::BlockComment:
      if (previous_ == '*' && c == '/') state_ = State::Code;
      previous_ = c;
      break;
    case State::Pattern:
    case State::PatternClass:
      if (escaped_) {
        escaped_ = false;
      } else if (c == '\\') {
        escaped_ = true;
      } else if (c == '\n' || c == '\r') {
        state_ = State::Code;  // no pattern spans lines
      } else if (state_ == State::PatternClass) {
        if (c == ']') state_ = State::Pattern;
      } else if (c == '[') {
        state_ = State::PatternClass;
      } else if (c == '/') {
        state_ = State::Code;
        lastCode_ = ')';  // the pattern is an operand
      }
      break;
  }
}

void ScriptReader::readValue() {
  if (state_ == State::Slash) {
    if (slashStartsPattern()) {
      state_ = State::Pattern;
      return;
    }
    state_ = State::Code;
  }
  if (state_ == State::Code) lastCode_ = '"';  // a string or a number: an operand
}

void PageReader::read(std::string_view text) {
  for (const char c : text) readByte(c);
  flush();
}

void PageReader::startValue(char quote) {
  state_ = State::AttributeValue;
  quote_ = quote;
  kind_ = KindOf(attribute_);
  pending_.clear();
  addressStart_.clear();
  valueWritten_ = false;
  address_ = ValuePlace::AddressPart::Start;
  script_ = {};
}

// The attribute value's template text, its references read: an address is
// followed until its scheme is settled, a script throughout.
void PageReader::readValueText(std::string_view text) {
  for (const char c : text) {
    if (kind_ == ValuePlace::Kind::Script) {
      script_.read(c);
      continue;
    }
    if (kind_ != ValuePlace::Kind::Address || address_ == ValuePlace::AddressPart::Rest) continue;
    if (c == '\t' || c == '\n' || c == '\r') continue;
    if (addressStart_.empty() && !valueWritten_ && static_cast<unsigned char>(c) <= ' ') continue;
    addressStart_ += Lower(c);
    if (c == '/' || c == '?' || c == '#') address_ = ValuePlace::AddressPart::Rest;
    if (c != ':') continue;
    // A scheme made with a value's help is taken as the worst one: a script.
    if (addressStart_ == "javascript:" || valueWritten_) {
      kind_ = ValuePlace::Kind::Script;
      script_ = {};
    } else {
      address_ = ValuePlace::AddressPart::Rest;
    }
  }
}

void PageReader::flush() {
  if (pending_.empty()) return;
  readValueText(ReadReferences(pending_));
  pending_.clear();
}

void PageReader::endTag() {
  if (!endTag_ && HoldsRawText(tagName_)) {
    state_ = State::RawText;
    rawElement_ = tagName_;
    script_ = {};
  } else {
    state_ = State::Data;
  }
}

void PageReader::readInComment(char c) {
  const auto close = [&] { state_ = State::Data; };
  switch (state_) {
    case State::CommentStart:
      if (c == '-') {
        state_ = State::CommentStartDash;
      } else if (c == '>') {
        close();
      } else {
        state_ = State::Comment;
      }
      break;
    case State::CommentStartDash:
      if (c == '-') {
        state_ = State::CommentEnd;
      } else if (c == '>') {
        close();
      } else {
        state_ = State::Comment;
      }
      break;
    case State::Comment:
      if (c == '-') state_ = State::CommentEndDash;
      break;
    case State::CommentEndDash:
      state_ = c == '-' ? State::CommentEnd : State::Comment;
      break;
    case State::CommentEnd:
      if (c == '>') {
        close();
      } else if (c == '!') {
        state_ = State::CommentEndBang;
      } else if (c != '-') {
        state_ = State::Comment;
      }
      break;
    case State::CommentEndBang:
      if (c == '>') {
        close();
      } else {
        state_ = c == '-' ? State::CommentEndDash : State::Comment;
      }
      break;
    default:
      break;
  }
}

void PageReader::readRaw(char c) {
  if (rawElement_ == "script") script_.read(c);
  if (rawElement_ == "plaintext") return;  // its text runs to the end of the page
  if (state_ == State::RawLessThan) {
    if (c == '/') {
      state_ = State::RawEndTag;
      rawMatched_ = 0;
      return;
    }
    state_ = State::RawText;
  } else if (state_ == State::RawEndTag) {
    if (rawMatched_ < rawElement_.size() && Lower(c) == rawElement_[rawMatched_]) {
      ++rawMatched_;
      return;
    }
    if (rawMatched_ == rawElement_.size() && (IsBlank(c) || c == '/' || c == '>')) {
      tagName_ = rawElement_;
      endTag_ = true;
      state_ = IsBlank(c) ? State::BeforeAttributeName : State::SelfClosing;
      if (c == '>') state_ = State::Data;
      return;
    }
    state_ = State::RawText;
  }
  if (c == '<') state_ = State::RawLessThan;
}

void PageReader::readInTag(char c) {
  switch (state_) {
    case State::TagName:
      if (IsBlank(c)) {
        state_ = State::BeforeAttributeName;
      } else if (c == '/') {
        state_ = State::SelfClosing;
      } else if (c == '>') {
        endTag();
      } else {
        tagName_ += Lower(c);
      }
      return;
    case State::AttributeName:
      if (IsBlank(c)) {
        state_ = State::AfterAttributeName;
      } else if (c == '/') {
        state_ = State::SelfClosing;
      } else if (c == '=') {
        state_ = State::BeforeAttributeValue;
      } else if (c == '>') {
        endTag();
      } else {
        attribute_ += Lower(c);
      }
      return;
    case State::BeforeAttributeValue:
      if (IsBlank(c)) return;
      if (c == '>') {
        endTag();
      } else if (c == '"' || c == '\'') {
        startValue(c);
      } else {
        startValue(0);
        pending_ += c;
      }
      return;
    case State::AttributeValue:
      if (quote_ != 0 ? c != quote_ : !IsBlank(c) && c != '>') {
        pending_ += c;
        return;
      }
      flush();
      state_ = quote_ != 0 ? State::AfterAttributeValue : State::BeforeAttributeName;
      if (c == '>') endTag();
      return;
    default:
      break;
  }
  // Between attributes: before a name, after one, after a value, after "/".
  if (IsBlank(c)) {
    if (state_ != State::AfterAttributeName) state_ = State::BeforeAttributeName;
  } else if (c == '/') {
    state_ = State::SelfClosing;
  } else if (c == '>') {
    endTag();
  } else if (c == '=' && state_ == State::AfterAttributeName) {
    state_ = State::BeforeAttributeValue;
  } else {
    attribute_.assign(1, Lower(c));  // "=" too may start a name
    state_ = State::AttributeName;
  }
}

void PageReader::readByte(char c) {
  switch (state_) {
    case State::Data:
      if (c == '<') state_ = State::TagOpen;
      return;
    case State::TagOpen:
      if (IsLetter(c)) {
        tagName_.assign(1, Lower(c));
        endTag_ = false;
        state_ = State::TagName;
      } else if (c == '/') {
        state_ = State::EndTagOpen;
      } else if (c == '!') {
        state_ = State::DeclarationOpen;
      } else if (c == '?') {
        state_ = State::Declaration;
      } else {
        state_ = State::Data;
        readByte(c);
      }
      return;
    case State::EndTagOpen:
      if (IsLetter(c)) {
        tagName_.assign(1, Lower(c));
        endTag_ = true;
        state_ = State::TagName;
      } else {
        state_ = c == '>' ? State::Data : State::Declaration;
      }
      return;
    case State::DeclarationOpen:
      state_ = c == '-' ? State::DeclarationDash : State::Declaration;
      if (c == '>') state_ = State::Data;
      return;
    case State::DeclarationDash:
      state_ = c == '-' ? State::CommentStart : State::Declaration;
      if (c == '>') state_ = State::Data;
      return;
    case State::Declaration:
      if (c == '>') state_ = State::Data;
      return;
    case State::CommentStart:
    case State::CommentStartDash:
    case State::Comment:
    case State::CommentEndDash:
    case State::CommentEnd:
    case State::CommentEndBang:
      readInComment(c);
      return;
    case State::RawText:
    case State::RawLessThan:
    case State::RawEndTag:
      readRaw(c);
      return;
    default:
      readInTag(c);
  }
}

ValuePlace PageReader::place() const {
  ValuePlace place;
  switch (state_) {
    case State::Data:
      return place;
    case State::RawText:
      place.in = rawElement_ == "script"  ? ValuePlace::In::Script
                 : rawElement_ == "style" ? ValuePlace::In::Style
                                          : ValuePlace::In::PlainText;
      if (rawElement_ == "script") place.script = script_.part();
      return place;
    case State::CommentStart:
    case State::CommentStartDash:
    case State::Comment:
    case State::CommentEndDash:
    case State::CommentEnd:
    case State::CommentEndBang:
      place.in = ValuePlace::In::Comment;
      return place;
    case State::Declaration:
      place.in = ValuePlace::In::Declaration;
      return place;
    case State::BeforeAttributeValue:
      place.in = ValuePlace::In::Attribute;
      place.kind = KindOf(attribute_);
      place.quoted = false;
      place.valueStart = true;
      return place;
    case State::AttributeValue:
      place.in = ValuePlace::In::Attribute;
      place.kind = kind_;
      place.quoted = quote_ != 0;
      if (kind_ == ValuePlace::Kind::Script) place.script = script_.part();
      place.address = address_;
      if (address_ == ValuePlace::AddressPart::Start && (valueWritten_ || !addressStart_.empty())) {
        place.address = ValuePlace::AddressPart::Scheme;
      }
      return place;
    default:
      place.in = ValuePlace::In::Name;
      return place;
  }
}

void PageReader::readValue() {
  if (state_ == State::BeforeAttributeValue) startValue(0);
  if (state_ == State::AttributeValue) {
    valueWritten_ = true;
    if (kind_ == ValuePlace::Kind::Script) script_.readValue();
  } else if (state_ == State::RawText && rawElement_ == "script") {
    script_.readValue();
  }
}

}  // namespace quellmar
