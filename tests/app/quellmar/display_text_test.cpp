// Bytes of the program's texts as the widgets show them, and typed text back.
#include "display_text.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

struct TextRow {
  const char* name;
  std::string bytes;
  QString shown;
};

// clang-format off
const TextRow kTexts[] = {
  {"Ascii",              "12. Dahab; Canyon",         QStringLiteral("12. Dahab; Canyon")},
  {"Empty",              "",                          QString()},
  {"Windows1252Accent",  "Pr\xE9squ'\xEEle",          QStringLiteral(u"Pr\u00E9squ'\u00EEle")},
  {"Windows1252Euro",    "5 \x80 fee \x96 boat",      QStringLiteral(u"5 \u20AC fee \u2013 boat")},
  {"UnusedCodeKept",     "a\x81z",                    QStringLiteral(u"a\u0081z")},
  {"Utf8Path",           "/home/j\xC3\xBCrgen/log.csv", QStringLiteral(u"/home/j\u00FCrgen/log.csv")},
  {"BrokenUtf8Is1252",   "\xC3(",                     QStringLiteral(u"\u00C3(")},
  {"OverlongUtf8Is1252", "\xC0\xAF",                  QStringLiteral(u"\u00C0\u00AF")},
  {"CutUtf8Is1252",      "ab\xE2\x82",                QStringLiteral(u"ab\u00E2\u201A")},
};
// clang-format on

void PrintTo(const TextRow& row, std::ostream* out) { *out << row.name; }

class DisplayTextTest : public ::testing::TestWithParam<TextRow> {};

TEST_P(DisplayTextTest, ShowsTheBytes) {
  EXPECT_EQ(DisplayText(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, DisplayTextTest, ::testing::ValuesIn(kTexts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AnsiText, TypedTextBecomesWindows1252) {
  EXPECT_EQ(AnsiText(QStringLiteral("2 px")), "2 px");
  EXPECT_EQ(AnsiText(QStringLiteral(u"\u00E9\u20AC\u2014")), "\xE9\x80\x97");
  EXPECT_EQ(AnsiText(QStringLiteral(u"\u4E00")), "?");
}

}  // namespace
}  // namespace quellmar
