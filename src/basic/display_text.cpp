#include "basic/display_text.h"

#include <array>
#include <cstdint>

namespace quellmar {
namespace {

// windows-1252 at 0x80 to 0x9F; the five unused codes keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// True when the bytes are well-formed UTF-8 and at least one byte is not ASCII.
bool IsMultibyteUtf8(std::string_view bytes) {
  bool multibyte = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    std::size_t length = 1;
    std::uint32_t code = lead;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point.
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
      return false;
    multibyte = true;
    i += length;
  }
  return multibyte;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace

std::string DisplayUtf8(std::string_view bytes) {
  if (IsMultibyteUtf8(bytes)) return std::string(bytes);
  return Utf8FromWindows1252(bytes);
}

std::string Utf8FromWindows1252(std::string_view bytes) {
  std::string text;
  text.reserve(Utf8Length(bytes));
  AppendUtf8FromWindows1252(text, bytes);
  return text;
}

std::size_t Utf8Length(std::string_view bytes) {
  std::size_t length = bytes.size();
  for (char byte : bytes) {
    const auto code = static_cast<std::uint8_t>(byte);
    if (code >= 0x80) length += (code < 0xA0 && kHighControls[code - 0x80] >= 0x800) ? 2 : 1;
  }
  return length;
}

void AppendUtf8FromWindows1252(std::string& text, std::string_view bytes) {
  for (char byte : bytes) {
    const auto code = static_cast<std::uint8_t>(byte);
    AppendUtf8(text, (code >= 0x80 && code < 0xA0) ? kHighControls[code - 0x80] : code);
  }
}

std::string Windows1252FromUtf8(std::string_view text) {
  if (!IsMultibyteUtf8(text)) return std::string(text);
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      code = (code << 6) | (static_cast<std::uint8_t>(text[i + k]) & 0x3F);
    }
    bytes.push_back(AnsiByte(code));
    i += length;
  }
  return bytes;
}

char AnsiByte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (std::size_t k = 0; k < kHighControls.size(); ++k)
    if (kHighControls[k] == code) return static_cast<char>(0x80 + k);
  return '?';
}

}  // namespace quellmar
