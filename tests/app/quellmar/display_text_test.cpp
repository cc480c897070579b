// Bytes of the program's texts as the widgets show them, and typed text back.
#include "display_text.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

TEST(DisplayText, ShowsWindows1252AndUtf8Texts) {
  EXPECT_EQ(DisplayText("Pr\xE9squ'\xEEle \x80"), QStringLiteral(u"Pr\u00E9squ'\u00EEle \u20AC"));
  EXPECT_EQ(DisplayText("/home/j\xC3\xBCrgen"), QStringLiteral(u"/home/j\u00FCrgen"));
}

TEST(AnsiText, TypedTextBecomesWindows1252) {
  EXPECT_EQ(AnsiText(QStringLiteral("2 px")), "2 px");
  EXPECT_EQ(AnsiText(QStringLiteral(u"\u00E9\u20AC\u2014")), "\xE9\x80\x97");
  EXPECT_EQ(AnsiText(QStringLiteral(u"\u4E00")), "?");
}

}  // namespace
}  // namespace quellmar
