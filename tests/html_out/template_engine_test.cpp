#include "html_out/template_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "html_out/output_file.h"
#include "support/temp_dir.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

// A dive whose every field holds a value no other field has.
Dive SampleDive() {
  Dive d;
  d.key = 5001;
  d.number = 12;
  d.date = "2024-05-01";
  d.time = "09:30";
  d.series = 150;
  d.diveSeries = 200;
  d.diveTime = 2700;
  d.surfaceInterval = 3725;
  d.maxDepth = 31;
  d.averageDepth = 17;
  d.computerType = 12;
  d.computerSerial = "SN12345678";
  d.diverId = "diver-7";
  d.sampleInterval = 600;
  d.altitudeMode = 240;
  d.personalMode = 300;
  d.location = "Red Sea";
  d.site = "Elphinstone";
  d.weather = "sunny";
  d.visibility = "20 m";
  d.airTemperature = 24;
  d.bottomTemperature = 18;
  d.endTemperature = 19;
  d.buddy = "Anna";
  d.diveMaster = "Ben";
  d.boat = "Blue Horizon";
  d.tankName = "Steel 15";
  d.tankVolume = 15;
  d.workingPressure = 232;
  d.startPressure = 200;
  d.endPressure = 50;
  d.sac = 14;
  d.customTexts = "nitrox, camera";
  d.weight = 6;
  d.oxygen = 32;
  d.computerMode = -3;
  d.note = "Line one<br>\n\rline two";
  d.profile = "0,5.5,12,31,20.4,3,0.0";
  ExactValues& x = d.exact;
  x.diveTime = Decimal::Parse("2745");
  x.maxDepth = Decimal::Parse("31.4");
  x.averageDepth = Decimal::Parse("17.25");
  x.airTemperature = Decimal::Parse("24.5");
  x.bottomTemperature = Decimal::Parse("18");
  x.endTemperature = Decimal::Parse("19.0");
  x.tankVolume = Decimal::Parse("15");
  x.workingPressure = Decimal::Parse("232");
  x.startPressure = Decimal::Parse("200.5");
  x.endPressure = Decimal::Parse("50");
  x.sac = Decimal::Parse("14.2");
  x.weight = Decimal::Parse("6");
  x.oxygen = Decimal::Parse("32.0");
  return d;
}

const std::string kNoteLink =
    R"x(<a href="javascript:nw('12')"><img src="../pict/note.gif" align="right" border="0"></a>)x";
const std::string kNogLink =
    R"x(<a href="javascript:nw('12')"><img src="../pict/nog.gif" align="right" border="0"></a>)x";
const std::string kChartLink =
    R"(<a href="d12.gif"><img src="../pict/chart.gif" align="right" border="0"></a>)";
const std::string kProfileImg = R"(<img src="d12.gif">)";

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    fs::create_directory(dir.path() / "Output");
    book.dives.push_back(SampleDive());
    book.summary = {5400, 2700, 31, 14};
  }
  Dive& dive() { return book.dives[0]; }
  // Whether the fills so far wrote the file; it is then put in place.
  bool written(const std::string& name) {
    files.commit({});
    return fs::exists(output(name));
  }
  std::string page(const std::string& name) {
    files.commit({});
    return ReadFile(output(name));
  }
  fs::path output(const std::string& name) const { return dir.path() / "Output" / name; }
  std::string fill(std::string_view line, int index = 0) { return FillLine(run, line, index); }

  TempDir dir;
  Logbook book;
  ExportOptions options;
  ExportReport report;
  SystemFileCalls calls;
  FileSet files{dir.path() / "Output", calls};
  Template note = ParseTemplate("<h1>Dive @diveno@</h1>\r\n@note@\r\n");
  FillSource source{book, options, &note};
  FillRun run{source, files, report};
};

struct TagRow {
  const char* name;
  std::string inDive;  // value in the lines and note templates
  std::string onPage;  // value in the head and foot templates
};

// clang-format off
const TagRow kTagRows[] = {
    {"diveno",        "12",              ""},
    {"date",          "2024-05-01",      ""},
    {"time",          "09:30",           ""},
    {"series",        "2 min",           ""},
    {"diveseries",    "3 min",           ""},
    {"divetime",      "45 min",          ""},
    {"surface",       "01:02:05",        ""},
    {"maxdepth",      "31",              ""},
    {"avdepth",       "17",              ""},
    {"comptypeid",    "0 min",           ""},
    {"compsernum",    "SN12345678",      ""},
    {"diverid",       "diver-7",         ""},
    {"samplerate",    "10 min",          ""},
    {"altmode",       "4 min",           ""},
    {"persmode",      "5 min",           ""},
    {"location",      "Red Sea",         ""},
    {"site",          "Elphinstone",     ""},
    {"weather",       "sunny",           ""},
    {"visibility",    "20 m",            ""},
    {"airtemp",       "24",              ""},
    {"maxtemp",       "18",              ""},
    {"endtemp",       "19",              ""},
    {"buddy",         "Anna",            ""},
    {"dm",            "Ben",             ""},
    {"boat",          "Blue Horizon",    ""},
    {"tankname",      "Steel 15",        ""},
    {"tankl",         "15",              ""},
    {"workingp",      "232",             ""},
    {"startp",        "200",             ""},
    {"endp",          "50",              ""},
    {"sac",           "14",              ""},
    {"customs",       "nitrox, camera",  ""},
    {"weight",        "6",               ""},
    {"o2",            "32",              ""},
    {"compmode",      "-3",              ""},
    {"gas",           R"(<font color="#00FF00">EAN32</font>)", ""},
    {"note",          "Line one<br>\n\rline two", ""},
    {"noteorgif",     kNogLink,          ""},
    {"subpage",       kNogLink,          ""},
    {"note_ico",      kNoteLink,         ""},
    {"profile_ico",   kChartLink,        ""},
    {"profile_gif",   kProfileImg,       ""},
    {"totaldivetime", "01:30:00",        "01:30:00"},
    {"averdivetime",  "00:45:00",        "00:45:00"},
    {"totalmaxdepth", "31",              "31"},
    {"totalsac",      "14",              "14"},
    {"at",            "@",               "@"},
    {"maxdepth_exact",  "31.4",          ""},
    {"avdepth_exact",   "17.25",         ""},
    {"divetime_exact",  "45:45",         ""},
    {"surface_exact",   "01:02:05",      ""},
    {"airtemp_exact",   "24.5",          ""},
    {"maxtemp_exact",   "18",            ""},
    {"endtemp_exact",   "19.0",          ""},
    {"tankl_exact",     "15",            ""},
    {"workingp_exact",  "232",           ""},
    {"startp_exact",    "200.5",         ""},
    {"endp_exact",      "50",            ""},
    {"sac_exact",       "14.2",          ""},
    {"weight_exact",    "6",             ""},
    {"gas_exact",       "EAN32",         ""},
    {"prev_link",       "",              ""},   // the only dive: no neighbours
    {"next_link",       "",              ""},
    {"same_site",       "",              ""},
    {"divecount",           "1",         "1"},
    {"totaldivetime_exact", "00:45:45",  "00:45:45"},
    {"averdivetime_exact",  "00:45:45",  "00:45:45"},
    {"totalmaxdepth_exact", "31.4",      "31.4"},
    {"totalsac_exact",      "14.2",      "14.2"},
    {"maxdepth_exac",   "error",         ""},
    {"",              "error",           ""},
    {"nosuchtag",     "error",           ""},
    {" diveno",       "error",           ""},
    {"diveno ",       "error",           ""},
    {"notes",         "error",           ""},
    {"not",           "error",           ""},
    {"zzz",           "error",           ""},
};
// clang-format on

TEST_F(EngineTest, EveryTagInADiveTemplateAndInAPageTemplate) {
  for (const auto& row : kTagRows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TagValue(run, row.name, 0), row.inDive);
    EXPECT_EQ(TagValue(run, row.name, NoDive), row.onPage);
  }
}

// Values the export leaves empty, or writes as 0 where 0 means not recorded,
// are blank; air is named; long surface intervals are told in days.
TEST_F(EngineTest, MissingValuesAreBlank) {
  using Exact = std::optional<Decimal> ExactValues::*;
  // clang-format off
  const struct { const char* tag; Exact field; const char* exported; std::int32_t surface; const char* value; } rows[] = {
      {"tankl_exact",    &ExactValues::tankVolume,        "0",        0,        ""},
      {"workingp_exact", &ExactValues::workingPressure,   "",         0,        ""},
      {"startp_exact",   &ExactValues::startPressure,     "-1",       0,        ""},
      {"endp_exact",     &ExactValues::endPressure,       "0.0",      0,        ""},
      {"sac_exact",      &ExactValues::sac,               "0",        0,        ""},
      {"maxtemp_exact",  &ExactValues::bottomTemperature, "0",        0,        "0"},  // 0 degrees is water
      {"airtemp_exact",  &ExactValues::airTemperature,    "",         0,        ""},
      {"maxdepth_exact", &ExactValues::maxDepth,          "",         0,        ""},
      {"gas_exact",      &ExactValues::oxygen,            "21",       0,        "Air"},
      {"gas_exact",      &ExactValues::oxygen,            "0",        0,        "Air"},
      {"gas_exact",      &ExactValues::oxygen,            "",         0,        "Air"},
      {"gas_exact",      &ExactValues::oxygen,            "32.5",     0,        "EAN32.5"},
      {"divetime_exact", &ExactValues::diveTime,          "59",       0,        "0:59"},
      {"divetime_exact", &ExactValues::diveTime,          "6000",     0,        "100:00"},
      {"divetime_exact", &ExactValues::diveTime,          "",         0,        ""},
      {"surface_exact",  nullptr,                         "",         0,        ""},   // first dive
      {"surface_exact",  nullptr,                         "",         172799,   "47:59:59"},
      {"surface_exact",  nullptr,                         "",         172800,   "2 days"},
      {"surface_exact",  nullptr,                         "",         35949906, "416 days"},
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.tag) + " of \"" + row.exported + "\"");
    dive() = SampleDive();
    if (row.field) dive().exact.*row.field = Decimal::Parse(row.exported);
    dive().surfaceInterval = row.surface;
    EXPECT_EQ(TagValue(run, row.tag, 0), row.value);
  }
}

// Dives 1 to 13 at "Caf\xE9 Reef" but the 8th: each page links its
// neighbours in the logbook's order and ten of the other dives at its site,
// the nearest, with the index showing all of them.
TEST_F(EngineTest, DivePagesLeadToTheirNeighboursAndTheirSite) {
  book.dives.clear();
  for (std::int32_t n = 1; n <= 13; ++n) {
    Dive d = SampleDive();
    d.number = n;
    d.date = "d" + std::to_string(n);
    d.site = n == 8 ? "Elsewhere" : "Caf\xE9 Reef";
    book.dives.push_back(d);
  }
  auto item = [](int n) {
    return "<li><a href=\"d" + std::to_string(n) + ".html\">Dive " + std::to_string(n) + "</a> d" +
           std::to_string(n) + "</li>";
  };
  std::string firstTen;
  for (int n : {2, 3, 4, 5, 6, 7, 9, 10, 11, 12}) firstTen += item(n);
  const std::string all =
      R"(<li><a href="logbook.html#&&Caf%C3%A9%20Reef&date:-1">All 12 dives at this site</a></li>)";
  EXPECT_EQ(fill("@prev_link@|@next_link@", 0),
            R"(|<a href="d2.html" rel="next">Dive 2 &rarr;</a>)");
  EXPECT_EQ(fill("@prev_link@", 12), R"(<a href="d12.html" rel="prev">&larr; Dive 12</a>)");
  EXPECT_EQ(fill("@same_site@", 0), firstTen + all);
  std::string nearest;  // five before dive 7, five after
  for (int n : {2, 3, 4, 5, 6, 9, 10, 11, 12, 13}) nearest += item(n);
  EXPECT_EQ(fill("@same_site@", 6), nearest + all);
  EXPECT_EQ(fill("@same_site@", 7), "");  // alone at its site
}

TEST_F(EngineTest, OnlyAsciiLettersFold) {
  // clang-format off
  const TagRow rows[] = {
      {"DiveNo",      "12",      ""},
      {"DIVENO",      "12",      ""},
      {"NOTE_ICO",    kNoteLink, ""},
      {"TotalSAC",    "14",      "14"},
      {"AT",          "@",       "@"},
      {"O2",          "32",      ""},
      {"note\x7fico", "error",   ""},   // a fold by bit 5 would turn "_" into this byte
      {"\xC4T",       "error",   ""},   // Latin-1 letters stay as they are
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TagValue(run, row.name, 0), row.inDive);
    EXPECT_EQ(TagValue(run, row.name, NoDive), row.onPage);
  }
}

TEST_F(EngineTest, PageTemplatesWriteNothingForPerDiveTags) {
  EXPECT_EQ(fill("@subpage@@noteorgif@@note_ico@@profile_ico@@profile_gif@", NoDive), "");
  EXPECT_TRUE(fs::is_empty(dir.path() / "Output"));
}

TEST_F(EngineTest, LinesArePairedLeftToRight) {
  dive().site = "a@diveno@b";
  // clang-format off
  const struct { const char* line; const char* filled; } rows[] = {
      {"",                        ""},
      {"no tags at all",          "no tags at all"},
      {"<b>@diveno@</b>",         "<b>12</b>"},
      {"@diveno@@diveno@",        "1212"},
      {"@@",                      "error"},
      {"@ diveno@",               "error"},
      {"mail@at@example.org",     "mail@example.org"},
      {"@site@",                  "a@diveno@b"},       // values are never scanned again
      {"x@diveno",                "x@diveno"},         // an unclosed "@" is plain text
      {"@diveno@ and @site",      "12 and @site"},
      {"@@@diveno@",              "error12"},
      {"@maxdepth@m @avdepth@m",  "31m 17m"},
      {"<i>@SITE@</i>",           "<i>a@diveno@b</i>"},
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(fill(row.line), row.filled);
  }
}

TEST_F(EngineTest, EveryTextValueKeepsOnlyHarmlessMarkup) {
  const std::string text = "<b>x</b><script>y</script> & \xE9";
  const std::string shown = "<b>x</b>&lt;script>y&lt;/script> & \xE9";
  // clang-format off
  const std::pair<const char*, std::string Dive::*> fields[] = {
      {"date",       &Dive::date},       {"time",     &Dive::time},
      {"compsernum", &Dive::computerSerial}, {"diverid", &Dive::diverId},
      {"location",   &Dive::location},   {"site",     &Dive::site},
      {"weather",    &Dive::weather},    {"visibility", &Dive::visibility},
      {"buddy",      &Dive::buddy},      {"dm",       &Dive::diveMaster},
      {"boat",       &Dive::boat},       {"tankname", &Dive::tankName},
      {"customs",    &Dive::customTexts}, {"note",    &Dive::note},
  };
  // clang-format on
  for (const auto& [tag, field] : fields) {
    dive().*field = text;
    EXPECT_EQ(fill(std::string("[@") + tag + "@]"), "[" + shown + "]") << tag;
  }
}

struct PlaceRow {
  const char* name;
  const char* line;   // a template line holding @buddy@ (or an engine tag)
  const char* buddy;  // a breakout payload
  std::string filled;
};

// Each value written for where it stands: read back by the browser as the
// text it is, never as markup or script.
// clang-format off
const PlaceRow kPlaceRows[] = {
    {"element_text",         "<p>@buddy@</p>",                   "<script>window.x=1</script>",
                             "<p>&lt;script>window.x=1&lt;/script></p>"},
    {"double_quoted",        "<img alt=\"@buddy@\" src=\"x.gif\">", "x\" onerror=\"window.x=2",
                             "<img alt=\"x&quot; onerror=&quot;window.x=2\" src=\"x.gif\">"},
    {"single_quoted",        "<td title='@buddy@'>",             "x' onmouseover='window.x=3",
                             "<td title='x&#39; onmouseover=&#39;window.x=3'>"},
    {"unquoted",             "<h1 title=@buddy@>",               "x onmouseover=window.x=4",
                             "<h1 title=x&#32;onmouseover&#61;window.x&#61;4>"},
    {"unquoted_left_empty",  "<h1 title=@buddy@ class=x>",       "",
                             "<h1 title=&#32; class=x>"},
    {"address_script",       "<a href=\"@buddy@\">",             " JavaScript:window.x=5",
                             "<a href=\"about:invalid#quellmar\">"},
    {"address_with_tab",     "<a href='@buddy@'>",               "java\tscript:window.x=5",
                             "<a href='about:invalid#quellmar'>"},
    {"address_relative",     "<a href=\"@buddy@\">",             "d12.html?a=1&b=\"2\"",
                             "<a href=\"d12.html?a=1&amp;b=&quot;2&quot;\">"},
    {"address_https",        "<img src=@buddy@>",                "https://x.org/a b",
                             "<img src=https://x.org/a&#32;b>"},
    {"address_scheme_split", "<a href=\"java@buddy@\">",         "script:window.x=5",
                             "<a href=\"javaabout:invalid#quellmar\">"},
    {"address_path",         "<a href=\"pages/@buddy@.html\">", "javascript:1",
                             "<a href=\"pages/javascript:1.html\">"},
    {"handler_string",       "<b onclick=\"f('@buddy@')\">",     "');window.x=7;('",
                             "<b onclick=\"f('\\x27);window.x=7;(\\x27')\">"},
    {"handler_code",         "<b onclick=\"f(@buddy@)\">",       "1);window.x=8;(1",
                             "<b onclick=\"f(&quot;1);window.x=8;(1&quot;)\">"},
    {"handler_number",       "<b onclick='f(@buddy@)'>",         "-12.5",
                             "<b onclick='f(-12.5)'>"},
    {"script_address",       "<a href=\"javascript:nw(&#39;@buddy@&#39;)\">", "');window.x=9;('",
                             "<a href=\"javascript:nw(&#39;\\x27);window.x=9;(\\x27&#39;)\">"},
    {"script_string",        "<script>var t='@buddy@';</script>", "';window.x=6;//",
                             "<script>var t='\\x27;window.x=6;\\/\\/';</script>"},
    {"script_double",        "<script>var t=\"@buddy@\"</script>", "</script><script>window.x=6",
                             "<script>var t=\"\\x3c\\/script\\x3e\\x3cscript\\x3ewindow.x=6\"</script>"},
    {"script_backquote",     "<script>var t=`@buddy@`</script>", "${window.x=12}`",
                             "<script>var t=`\\x24{window.x=12}\\x60`</script>"},
    {"script_code",          "<script>var n=@buddy@;</script>",  "1;window.x=11",
                             "<script>var n=\"1;window.x=11\";</script>"},
    {"script_comment",       "<script>/* @buddy@ */</script>",   "*/window.x=11/*",
                             "<script>/* \\x2a\\/window.x=11\\/\\x2a */</script>"},
    {"script_string_empty",  "<script>var t='@buddy@';</script>", "",
                             "<script>var t='';</script>"},
    {"script_pattern",       "<script>var r=/@buddy@/;</script>", "",
                             "<script>var r=/(?:)/;</script>"},
    {"style_attribute",      "<p style=\"color:@buddy@\">",      "red;background:url(x)",
                             "<p style=\"color:red\\3b background\\3a url\\28 x\\29 \">"},
    {"style_element",        "<style>p{color:@buddy@}</style>",  "red}</style>",
                             "<style>p{color:red\\7d \\3c \\2f style\\3e }</style>"},
    {"comment",              "<!--@buddy@-->",                   "--><script>window.x=13</script>",
                             "<!----&gt;<script>window.x=13</script>-->"},
    {"title",                "<title>@buddy@</title>",           "</title><b>",
                             "<title>&lt;/title&gt;&lt;b&gt;</title>"},
    {"declaration",          "<!DOCTYPE @buddy@>",               "><script>",
                             "<!DOCTYPE &gt;&lt;script&gt;>"},
    {"attribute_name",       "<td @buddy@>",                     "onmouseover=window.x=14",
                             "<td >"},
    {"srcdoc",               "<iframe srcdoc=\"@buddy@\">",      "<script>window.x=15</script>",
                             "<iframe srcdoc=\"&amp;lt;script&gt;window.x=15&amp;lt;/script&gt;\">"},
    {"abrupt_comment",       "<!-->@buddy@",                     "<script>",
                             "<!-->&lt;script>"},
    {"script_ends_at_end_tag", "<script>var a='</SCRIPT ><p title=\"@buddy@\">", "x\"",
                             "<script>var a='</SCRIPT ><p title=\"x&quot;\">"},
    {"after_unquoted_value", "<p title=a @buddy@>",              "onclick=window.x=1",
                             "<p title=a >"},
    {"svg_link",             "<svg><a xlink:href=\"@buddy@\">",  "javascript:window.x=1",
                             "<svg><a xlink:href=\"about:invalid#quellmar\">"},
    {"in_substitution",      "<script>`${@buddy@}`</script>",    "1}`;window.x=1;`${",
                             "<script>`${\"1}\\x60;window.x=1;\\x60\\x24{\"}`</script>"},
    {"after_substitution",   "<script>`${a}@buddy@`</script>",   "`;window.x=1;`",
                             "<script>`${a}\\x60;window.x=1;\\x60`</script>"},
    {"division",             "<script>var r=a/@buddy@;</script>", "2;window.x=1",
                             "<script>var r=a/\"2;window.x=1\";</script>"},
    {"pattern_after_class",  "<script>var r=/[/]@buddy@/;</script>", "1;window.x=1",
                             "<script>var r=/[/]1;window.x=1/;</script>"},
    {"engine_markup_in_attribute", "<p title=\"@gas@\">",        "",
                             "<p title=\"&lt;font color=&quot;#00FF00&quot;&gt;EAN32&lt;/font&gt;\">"},
    {"engine_link_in_comment", "<!--@subpage@-->",               "",   "<!--" + kNogLink + "-->"},
    {"engine_link_in_text",  "<td>@note_ico@</td>",              "",   "<td>" + kNoteLink + "</td>"},
};
// clang-format on

void PrintTo(const PlaceRow& row, std::ostream* os) { *os << row.name; }

class PlaceTest : public EngineTest, public ::testing::WithParamInterface<PlaceRow> {};

TEST_P(PlaceTest, ValueIsWrittenForItsPlace) {
  dive().buddy = GetParam().buddy;
  EXPECT_EQ(fill(GetParam().line), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(Places, PlaceTest, ::testing::ValuesIn(kPlaceRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The place carries over from line to line and from template to template.
TEST_F(EngineTest, PlaceCarriesAcrossLinesAndTemplates) {
  dive().buddy = "'\"";
  StringSink out;
  const Template head = ParseTemplate("<script>\r\nvar a = '");
  FillTemplate(run, ParseTemplate("@buddy@';\r\nvar b = \"@buddy@\";", head.end), out, 0);
  EXPECT_EQ(out.data, "\\x27\\x22';\r\nvar b = \"\\x27\\x22\";\r\n");
}

// A lines template that leaves the page elsewhere than it found it is read
// again from each new place.
TEST_F(EngineTest, RepeatedTemplateStartsWhereTheLastFillEnded) {
  const RepeatedTemplate lines("@buddy@<!--", PageReader{}, 3);
  dive().buddy = "-->";
  StringSink out;
  for (std::size_t i = 0; i < 3; ++i) FillTemplate(run, lines.fill(i), out, 0);
  EXPECT_EQ(out.data, "--><!--\r\n--&gt;<!--\r\n--&gt;<!--\r\n");
}

// Dates of other dives at the site are export text too.
TEST_F(EngineTest, SameSiteDatesAreText) {
  book.dives.clear();
  const char* dates[] = {"<script>/*", "*/window.x=1;/*", "*/</script>", "2024-05-01"};
  for (std::int32_t n = 1; n <= 4; ++n) {
    Dive d = SampleDive();
    d.number = n;
    d.date = dates[n - 1];
    book.dives.push_back(d);
  }
  EXPECT_EQ(fill("<ul>@same_site@</ul>", 3),
            "<ul><li><a href=\"d1.html\">Dive 1</a> &lt;script>/*</li>"
            "<li><a href=\"d2.html\">Dive 2</a> */window.x=1;/*</li>"
            "<li><a href=\"d3.html\">Dive 3</a> */&lt;/script></li></ul>");
}

TEST_F(EngineTest, GasMarksOnlyEnrichedAir) {
  // clang-format off
  const struct { std::int16_t oxygen; const char* gas; } rows[] = {
      {0,  ""},
      {21, ""},
      {32, R"(<font color="#00FF00">EAN32</font>)"},
      {-1, R"(<font color="#00FF00">EAN-1</font>)"},
  };
  // clang-format on
  for (const auto& row : rows) {
    dive().oxygen = row.oxygen;
    EXPECT_EQ(fill("@gas@"), row.gas) << row.oxygen;
  }
}

struct ConditionRow {
  const char* name;
  const char* tag;
  bool notesOn;
  bool picturesOn;
  const char* note;
  const char* profile;
  std::string value;
  bool writesPage;
  int pictures;
};

// clang-format off
const ConditionRow kConditionRows[] = {
    {"note_with_notes_on",          "note",        true,  true,  "ab", "",    "ab",        false, 0},
    {"one_char_note_shown",         "note",        true,  false, "x",  "",    "x",         false, 0},
    {"note_with_notes_off",         "note",        false, true,  "ab", "1,2", "",          false, 0},
    {"note_ico_with_note",          "note_ico",    true,  false, "ab", "",    kNoteLink,   true,  0},
    {"note_ico_one_char_note",      "note_ico",    true,  true,  "x",  "1,2", "",          false, 0},
    {"note_ico_notes_off",          "note_ico",    false, true,  "ab", "1,2", "",          false, 0},
    {"noteorgif_by_note",           "noteorgif",   true,  false, "ab", "",    kNogLink,    true,  0},
    {"noteorgif_by_profile",        "noteorgif",   false, true,  "ab", "1,2", kNogLink,    true,  0},
    {"noteorgif_one_char_note",     "noteorgif",   true,  false, "x",  "1,2", "",          false, 0},
    {"noteorgif_neither",           "noteorgif",   true,  true,  "",   "",    "",          false, 0},
    {"noteorgif_all_off",           "noteorgif",   false, false, "ab", "1,2", "",          false, 0},
    {"subpage_without_anything",    "subpage",     false, false, "",   "",    kNogLink,    true,  0},
    {"profile_ico_pictures_on",     "profile_ico", false, true,  "",   "1,2", kChartLink,  false, 1},
    {"profile_ico_pictures_off",    "profile_ico", true,  false, "ab", "1,2", "",          false, 0},
    {"profile_ico_no_profile",      "profile_ico", true,  true,  "ab", "",    "",          false, 0},
    {"profile_gif_pictures_on",     "profile_gif", false, true,  "",   "1,2", kProfileImg, false, 1},
    {"profile_gif_pictures_off",    "profile_gif", true,  false, "",   "1,2", "",          false, 0},
};
// clang-format on

void PrintTo(const ConditionRow& row, std::ostream* os) { *os << row.name; }

class ConditionTest : public EngineTest, public ::testing::WithParamInterface<ConditionRow> {};

TEST_P(ConditionTest, ValueAndSideEffectFollowTheOptionsAndTheDive) {
  const auto& row = GetParam();
  options.note = row.notesOn;
  options.gif = row.picturesOn;
  dive().note = row.note;
  dive().profile = row.profile;
  EXPECT_EQ(TagValue(run, row.tag, 0), row.value);
  EXPECT_EQ(written("d12.html"), row.writesPage);
  EXPECT_EQ(written("d12.gif"), row.pictures > 0);
}

INSTANTIATE_TEST_SUITE_P(Tags, ConditionTest, ::testing::ValuesIn(kConditionRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, NotePageIsFilledFromTheNoteTemplate) {
  note = ParseTemplate("<h1>Dive @diveno@</h1>\r\n\r\n<p>@note@</p>\r\n@totalsac@ l/min\rlast");
  WriteNotePage(run, 0);
  EXPECT_EQ(page("d12.html"),
            "<h1>Dive 12</h1>\r\n\r\n<p>Line one<br>\n\rline two</p>\r\n14 l/min\r\nlast\r\n");
}

TEST_F(EngineTest, NoteTemplateStopsAtCtrlZ) {
  note = ParseTemplate("@diveno@\r\n\x1a@site@\r\n");
  WriteNotePage(run, 0);
  EXPECT_EQ(page("d12.html"), "12\r\n");
}

TEST_F(EngineTest, TemplateWithLineFeedsAloneIsOneLine) {
  note = ParseTemplate("<p>@diveno@\n@site@</p>\n@div\neno@\n");
  WriteNotePage(run, 0);
  EXPECT_EQ(page("d12.html"), "<p>12\nElphinstone</p>\nerror\n\r\n");
}

TEST_F(EngineTest, NoteWithLineBreaksSpansSeveralOutputLines) {
  StringSink out;
  FillTemplate(run, ParseTemplate("<td>@note@</td>\r\nend"), out, 0);
  EXPECT_EQ(out.data, "<td>Line one<br>\n\rline two</td>\r\nend\r\n");
}

TEST_F(EngineTest, NegativeDiveNumberNamesThePage) {
  dive().number = -3;
  EXPECT_EQ(
      fill("@subpage@"),
      R"x(<a href="javascript:nw('-3')"><img src="../pict/nog.gif" align="right" border="0"></a>)x");
  EXPECT_EQ(page("d-3.html"), "<h1>Dive -3</h1>\r\nLine one<br>\n\rline two\r\n");
}

// Records, at every write, which of the dive's files the set holds already.
class ExistenceSink : public ByteSink {
 public:
  ExistenceSink(const FileSet& set, std::vector<fs::path> files)
      : set_(set), files_(std::move(files)) {}
  void write(std::string_view bytes) override {
    std::string seen;
    const auto written = set_.paths();
    for (const auto& file : files_) {
      seen += std::find(written.begin(), written.end(), file) != written.end() ? '1' : '0';
    }
    writes.push_back(std::string(bytes.substr(0, bytes.find('\r'))) + " " + seen);
  }
  bool good() const override { return true; }
  std::vector<std::string> writes;

 private:
  const FileSet& set_;
  std::vector<fs::path> files_;
};

TEST_F(EngineTest, FilesExistBeforeTheLineThatLinksThemIsWritten) {
  ExistenceSink sink(files, {output("d12.html"), output("d12.gif")});
  FillTemplate(run, ParseTemplate("first\r\n@note_ico@\r\n@profile_gif@"), sink, 0);
  EXPECT_EQ(sink.writes,
            (std::vector<std::string>{"first 00", kNoteLink + " 10", kProfileImg + " 11"}));
}

TEST_F(EngineTest, EveryTagIsFilledWithItsSideEffectsEachTime) {
  note = ParseTemplate("@profile_gif@");
  for (const char* tag : {"@subpage@", "@noteorgif@", "@profile_ico@", "@profile_gif@"}) {
    fs::remove(output("d12.gif"));
    fill(tag);
    EXPECT_TRUE(written("d12.gif")) << tag;
  }
  EXPECT_EQ(run.lastPicture->width, 7);
}

TEST_F(EngineTest, NoteTemplateAskingForItsOwnPageEnds) {
  note = ParseTemplate("<p>@subpage@</p>\r\n@noteorgif@\r\n@NOTE_ICO@ @diveno@");
  EXPECT_EQ(fill("@subpage@"), kNogLink);
  EXPECT_EQ(page("d12.html"),
            "<p>" + kNogLink + "</p>\r\n" + kNogLink + "\r\n" + kNoteLink + " 12\r\n");
  // The guard belongs to the running page only: the next request writes again.
  fs::remove(output("d12.html"));
  EXPECT_EQ(fill("@note_ico@"), kNoteLink);
  EXPECT_TRUE(written("d12.html"));
}

// A missing note template still yields the link; a page that cannot be made
// ends the export (it used to be passed over in silence).
TEST_F(EngineTest, MissingNoteTemplateYieldsTheLink) {
  const FillSource withoutNote{book, options, nullptr};
  FillRun noteless{withoutNote, files, report};
  EXPECT_EQ(FillLine(noteless, "@subpage@", 0), kNogLink);
  EXPECT_FALSE(written("d12.html"));
}

TEST_F(EngineTest, AnUnwritablePageThrows) {
  fs::create_directory(output("d12.html"));
  EXPECT_THROW(fill("@note_ico@"), ExportError);
  EXPECT_TRUE(fs::is_directory(output("d12.html")));
}

TEST_F(EngineTest, IndexOutsideTheLogbookReadsNoRecord) {
  EXPECT_EQ(fill("@diveno@@subpage@@at@", 1), "@");
  EXPECT_EQ(fill("@diveno@@subpage@@at@", -7), "@");
  EXPECT_TRUE(fs::is_empty(dir.path() / "Output"));
}

}  // namespace
}  // namespace quellmar
