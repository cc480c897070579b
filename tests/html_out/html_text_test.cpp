// Export text on its way into a page: harmless formatting is kept, every
// other piece of markup shows as text.
#include "html_out/html_text.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

struct TextRow {
  const char* name;
  std::string text;
  std::string kept;
};

// clang-format off
const TextRow kTexts[] = {
  {"PlainText",             "Shark Reef & \"Canyon\" \xE9t\xE9",  "Shark Reef & \"Canyon\" \xE9t\xE9"},
  {"LessThanStartingNoTag", "depth < 30 m, 3<5, <3, <= and <\xE9", "depth < 30 m, 3<5, <3, <= and <\xE9"},
  {"NoteBreaks",            "a<br>\n\rb<br>\n\r",                "a<br>\n\rb<br>\n\r"},
  {"Formatting",            "<b>b</b><i>i</i><u>u</u><em>e</em><strong>s</strong><p>p</p>",
                            "<b>b</b><i>i</i><u>u</u><em>e</em><strong>s</strong><p>p</p>"},
  {"UpperCaseNames",        "<B>x</B><Br>",                      "<b>x</b><br>"},
  {"SelfClosingBreaks",     "a<br/>b<br />c",                    "a<br>b<br>c"},
  {"FontAttributes",        "<font color=red size='3' face=\"Arial\" style=\"x\" onclick=\"y\">t</font>",
                            "<font color=\"red\" size=\"3\" face=\"Arial\">t</font>"},
  {"EventHandlerDropped",   "<b onmouseover=\"alert(1)\">x</b>", "<b>x</b>"},
  {"QuoteInKeptAttribute",  "<font face='a\"b onmouseover=x'>t</font>",
                            "<font face=\"a&quot;b onmouseover=x\">t</font>"},
  {"GreaterThanInQuotes",   "<font face=\"a>b\" onclick=x>t</font>", "<font face=\"a&gt;b\">t</font>"},
  {"HttpsLink",             "<a href=\"https://x.org/?a=1&amp;b=2\" target=_blank>x</a>",
                            "<a href=\"https://x.org/?a=1&amp;b=2\">x</a>"},
  {"MailtoLink",            "<a href=mailto:anna@x.org>Anna</a>", "<a href=\"mailto:anna@x.org\">Anna</a>"},
  {"AddressReadAsBrowser",  "<a href=\" HTTP://x.org/&#x41;\n\">x</a>", "<a href=\"HTTP://x.org/A\">x</a>"},
  {"FirstAddressCounts",    "<a href=http://x.org href=javascript:y>x</a>", "<a href=\"http://x.org\">x</a>"},
  {"JavascriptLink",        "<a href=\"javascript:alert(1)\">x</a>", "<a>x</a>"},
  {"JavascriptWithTab",     "<a href=\"java\tscript:alert(1)\">x</a>", "<a>x</a>"},
  {"JavascriptAsEntities",  "<a href='&#106;avascript&#x3A;alert(1)'>x</a>", "<a>x</a>"},
  {"DataLink",              "<a href=\" data:text/html,x\">x</a>", "<a>x</a>"},
  {"RelativeLink",          "<a href=\"d12.html\">x</a>",        "<a>x</a>"},
  {"Script",                "<script>alert(1)</script>",         "&lt;script>alert(1)&lt;/script>"},
  {"ImageWithHandler",      "<img src=x onerror=alert(1)>",      "&lt;img src=x onerror=alert(1)>"},
  {"FramesAndForms",        "<style>b{}</style><iframe src=x><object><embed><form>",
                            "&lt;style>b{}&lt;/style>&lt;iframe src=x>&lt;object>&lt;embed>&lt;form>"},
  {"ClosingScriptOddForms", "</script >x</SCRIPT\t>y</script/z>", "&lt;/script >x&lt;/SCRIPT\t>y&lt;/script/z>"},
  {"CommentsDeclarations",  "<!-- x --><!DOCTYPE html><?php ?></>", "&lt;!-- x -->&lt;!DOCTYPE html>&lt;?php ?>&lt;/>"},
  {"TagInsideATag",         "<scr<script>ipt>",                  "&lt;scr&lt;script>ipt>"},
  {"TagNotKeptShowsWhole",  "<x <b>y</b> 1 < 2",                 "&lt;x &lt;b>y&lt;/b> 1 < 2"},
  {"UnterminatedTag",       "<b onclick=alert(1)",               "&lt;b onclick=alert(1)"},
  {"TextEndsInAQuote",      "<font face=\"x> <b>y</b> 1 < 2",    "&lt;font face=\"x> &lt;b>y&lt;/b> 1 < 2"},
  {"LessThanAtTheEnd",      "a<",                                "a&lt;"},
  {"LeftOpenClosedAtEnd",   "<b><font color=red><i>x",           "<b><font color=\"red\"><i>x</i></font></b>"},
  {"StrayClosingTags",      "</b></font></br>x",                 "&lt;/b>&lt;/font>&lt;/br>x"},
  {"SameTagNested",         "<b>x<B>y</b>z</b>",                 "<b>x<b>y</b>z</b>"},
  {"CrossedTagsNested",     "<b><i>x</b>y</i>",                  "<b><i>x</i></b>y&lt;/i>"},
};
// clang-format on

void PrintTo(const TextRow& row, std::ostream* out) { *out << row.name; }

class KeepHarmlessMarkupTest : public ::testing::TestWithParam<TextRow> {};

TEST_P(KeepHarmlessMarkupTest, KeepsFormattingAndShowsTheRestAsText) {
  EXPECT_EQ(KeepHarmlessMarkup(GetParam().text), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Texts, KeepHarmlessMarkupTest, ::testing::ValuesIn(kTexts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellmar
