// Notes stored as RTF read as their text.
#include "basic/rtf_text.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

struct RtfRow {
  const char* name;
  std::string rtf;
  std::string text;
};

// clang-format off
const RtfRow kDocuments[] = {
  {"NoteWithoutText",     "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1035{\\fonttbl{\\f0\\fnil\\fcharset0 Microsoft Sans Serif;}}\n"
                          "\\viewkind4\\uc1\\pard\\f0\\fs17\\par\n}",          ""},
  {"Paragraphs",          "{\\rtf1\\pard Napoleon wrasse.\\par Strong current.\\par}", "Napoleon wrasse.\nStrong current."},
  {"EmptyParagraphKept",  "{\\rtf1 a\\par\\par b\\par\\par}",                 "a\n\nb"},
  {"LineAndTab",          "{\\rtf1 a\\line b\\tab c\\\nd}",                   "a\nb\tc\nd"},
  {"SourceLineEnds",      "{\\rtf1 one\r\ntwo\n}",                            "onetwo"},
  {"DelimiterSpaceEaten", "{\\rtf1\\fs20 x\\b1 y\\b0  z\\b-1 w}",             "xy zw"},
  {"CodePageBytes",       "{\\rtf1\\ansi\\ansicpg1252 Sch\\'f6n \\'E9t\\'e9 \\'80}", "Sch\xF6n \xE9t\xE9 \x80"},
  {"EscapedCharacters",   "{\\rtf1 a\\\\b \\{c\\}}",                          "a\\b {c}"},
  {"CharacterWords",      "{\\rtf1 \\ldblquote x\\rdblquote\\~\\emdash\\_\\-}", "\x93x\x94\xA0\x97-"},
  {"UnicodeInCodePage",   "{\\rtf1\\uc1 caf\\u233e \\u8364?}",                "caf\xE9 \x80"},
  {"UnicodeFallback",     "{\\rtf1 \\u20013? \\u-3913\\'b7}",                 "? \xB7"},
  {"FallbackOfTwo",       "{\\rtf1\\uc2\\u8212\\'97\\'97 x}",                 "\x97 x"},
  {"FallbackCountPerGroup", "{\\rtf1{\\uc2 \\u233 ab}\\u233 cd}",             "\xE9\xE9" "d"},
  {"FallbackEndsAtGroup", "{\\rtf1\\uc3\\u233 a{b}c}",                        "\xE9" "bc"},
  {"TablesAndInfoSkipped", "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255;}{\\stylesheet{\\s0 Normal;}}"
                          "{\\info{\\title T}}{\\*\\generator Riched20;}{\\pict\\pngblip 8950}text}", "text"},
  {"FieldResultKept",     "{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt site}}}", "site"},
  {"BinaryDataSkipped",   "{\\rtf1 a\\bin3 }{}b}",                            "ab"},
  {"CutOffText",          "{\\rtf1\\pard Strong cur",                         "Strong cur"},
  {"CutInControlWord",    "{\\rtf1 a\\pa",                                    "a"},
  {"CutInByte",           "{\\rtf1 a\\'e",                                    "a"},
  {"CutAfterBackslash",   "{\\rtf1 a\\",                                      "a"},
  {"UnclosedGroups",      "{\\rtf1 a{\\b b{\\i c",                            "abc"},
  {"EndsWithOuterGroup",  "{\\rtf1 a}}b{c}",                                  "a"},
  {"HugeNumbers",         "{\\rtf1\\uc99999999999 \\u99999999999 x\\bin99999999999 ab}", "x"},
};
// clang-format on

void PrintTo(const RtfRow& row, std::ostream* out) { *out << row.name; }

class RtfTextTest : public ::testing::TestWithParam<RtfRow> {};

TEST_P(RtfTextTest, ReadsTheText) {
  EXPECT_TRUE(IsRtf(GetParam().rtf));
  EXPECT_EQ(RtfText(GetParam().rtf), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Documents, RtfTextTest, ::testing::ValuesIn(kDocuments),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellmar
