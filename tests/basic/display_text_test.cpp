// Bytes of the program's texts as a person reads them, and typed characters
// back as windows-1252.
#include "basic/display_text.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

struct TextRow {
  const char* name;
  std::string bytes;
  std::string shown;  // UTF-8
};

// clang-format off
const TextRow kTexts[] = {
  {"Ascii",              "12. Dahab; Canyon",           "12. Dahab; Canyon"},
  {"Empty",              "",                            ""},
  {"Windows1252Accent",  "Pr\xE9squ'\xEEle",            "Pr\xC3\xA9squ'\xC3\xAEle"},
  {"Windows1252Euro",    "5 \x80 fee \x96 boat",        "5 \xE2\x82\xAC fee \xE2\x80\x93 boat"},
  {"UnusedCodeKept",     "a\x81z",                      "a\xC2\x81z"},
  {"Utf8Path",           "/home/j\xC3\xBCrgen/log.csv", "/home/j\xC3\xBCrgen/log.csv"},
  {"BrokenUtf8Is1252",   "\xC3(",                       "\xC3\x83("},
  {"OverlongUtf8Is1252", "\xC0\xAF",                    "\xC3\x80\xC2\xAF"},
  {"CutUtf8Is1252",      "ab\xE2\x82",                  "ab\xC3\xA2\xE2\x80\x9A"},
};
// clang-format on

void PrintTo(const TextRow& row, std::ostream* out) { *out << row.name; }

class DisplayUtf8Test : public ::testing::TestWithParam<TextRow> {};

TEST_P(DisplayUtf8Test, ShowsTheBytes) {
  EXPECT_EQ(DisplayUtf8(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, DisplayUtf8Test, ::testing::ValuesIn(kTexts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AnsiByte, CharactersBecomeWindows1252) {
  EXPECT_EQ(AnsiByte(U'2'), '2');
  EXPECT_EQ(AnsiByte(U'\u00E9'), '\xE9');
  EXPECT_EQ(AnsiByte(U'\u20AC'), '\x80');
  EXPECT_EQ(AnsiByte(U'\u2014'), '\x97');
  EXPECT_EQ(AnsiByte(U'\u4E00'), '?');
}

}  // namespace
}  // namespace quellmar
