#include "uddf_out/uddf_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quellmar {
namespace {

using Lines = std::vector<std::string>;

class HistoryLines : public UddfReport {
 public:
  void historyLine(std::string line) override { lines.push_back(std::move(line)); }
  Lines lines;
};

Dive PlainDive() {
  Dive dive;
  dive.number = 7;
  dive.date = "14/07/2002";
  dive.time = "10:38";
  dive.sampleInterval = 20;
  dive.profile = "0,5.5,12.25,3";
  dive.exact.maxDepth = Decimal::Parse("12.25");
  dive.exact.diveTime = Decimal::Parse("60");
  return dive;
}

std::string Written(const Logbook& logbook, Lines& history,
                    const UddfOptions& options = UddfOptions{}) {
  StringSink sink;
  HistoryLines report;
  WriteUddf(logbook, options, sink, report);
  history = report.lines;
  return sink.data;
}

// Checks the document against the published schema beside the project;
// true when it is valid or there is nothing to check it with.
bool ValidUddf([[maybe_unused]] const std::string& document) {
#ifdef _WIN32
  return true;
#else
  const std::filesystem::path schema = QUELLMAR_SOURCE_DIR "/../shared/uddf/uddf_3.2.3.xsd";
  if (!std::filesystem::exists(schema) || std::system("xmllint --version >/dev/null 2>&1") != 0)
    return true;
  testing::TempDir dir;
  const auto file = dir.write("logbook.uddf", document);
  const std::string command =
      "xmllint --noout --schema '" + schema.string() + "' '" + file.string() + "'";
  return std::system(command.c_str()) == 0;
#endif
}

// A dive that differs from the plain one in one way, a piece the file must
// hold for it (or, starting with "!", must not hold), and the history line it
// gives after the date order's ("" for none). Together, the dives make a file
// that the schema must accept.
struct EdgeRow {
  const char* name;
  std::function<void(Dive&)> change;
  const char* piece;
  const char* history;
};

// clang-format off
const EdgeRow kEdgeRows[] = {
    {"NumberZero",        [](Dive& d) { d.number = 0; },                   "!<divenumber>",
     "Dive 0 of 14/07/2002 10:38: its number 0 (UDDF numbers dives from 1) left out of the UDDF file."},
    {"DateNotOfCalendar", [](Dive& d) { d.date = "30/02/2002"; },          "!<dive ",
     "Dive 7 of 30/02/2002 10:38: left out of the UDDF file, as its date cannot be read."},
    {"TimeNotOfDay",      [](Dive& d) { d.time = "25:10"; },               "<datetime>2002-07-14T00:00:00<",
     "Dive 7 of 14/07/2002 25:10: its time of day \"25:10\" (start written at 00:00) left out of the UDDF file."},
    {"TwoDigitYear",      [](Dive& d) { d.date = "14.07.02"; },            "<datetime>2002-07-14T10:38:00<", ""},
    {"YearFirst",         [](Dive& d) { d.date = "2002-07-14"; },          "<datetime>2002-07-14T10:38:00<", ""},
    {"MarkupInText",      [](Dive& d) { d.site = "<b>Reef & Co</b>"; },    "<name>&lt;b&gt;Reef &amp; Co&lt;/b&gt;</name>", ""},
    {"Windows1252Text",   [](Dive& d) { d.buddy = "J\xF6rg M\x80ller"; },  "<firstname>J\xC3\xB6rg</firstname>\n<lastname>M\xE2\x82\xACller<", ""},
    {"ControlsInNote",    [](Dive& d) { d.note = "a\x01" "b\rc"; },         "<para>ab&#13;c</para>", ""},
    {"NoteBreaks",        [](Dive& d) { d.note = "one<br>\n\rtwo"; },      "<para>one\ntwo</para>", ""},
    {"FrostyAir",         [](Dive& d) { d.exact.airTemperature = Decimal::Parse("-1.5"); },
                                                                           "<airtemperature>271.65<", ""},
    {"BarToPascal",       [](Dive& d) { d.exact.startPressure = Decimal::Parse("153.08"); },
                                                                           "<tankpressurebegin>15308000<", ""},
    {"Nitrox",            [](Dive& d) { d.exact.oxygen = Decimal::Parse("32.0"); },
                                                                           "<name>EAN32</name>\n<o2>0.320</o2>", ""},
    {"OxygenBeyond100",   [](Dive& d) { d.exact.oxygen = Decimal::Parse("150"); }, "!<mix ",
     "Dive 7 of 14/07/2002 10:38: its oxygen of 150% left out of the UDDF file."},
    {"SampleNoNumber",    [](Dive& d) { d.profile = "0,x,5"; d.exact.diveTime = Decimal::Parse("40"); },
                                                                           "<depth>5</depth><divetime>40<",
     "Dive 7 of 14/07/2002 10:38: its profile samples that are no numbers (1 of 3) left out of the UDDF file."},
    {"NoIntervalNoTime",  [](Dive& d) { d.sampleInterval = 0; d.exact.diveTime.reset(); },
                                                                           "!<samples>",
     "Dive 7 of 14/07/2002 10:38: its profile (sample interval 0) left out of the UDDF file."},
    {"SpreadOverDiveTime",[](Dive& d) { d.exact.diveTime = Decimal::Parse("600"); },
                                                                           "<depth>12.25</depth><divetime>400<",
     "Dive 7 of 14/07/2002 10:38: its 4 profile samples spread over its dive time of 10:00 in the UDDF file,"
     " as at the export's sample interval of 20 s they would end at 1:00."},
    {"SpreadToHundredths",[](Dive& d) { d.exact.diveTime = Decimal::Parse("100"); },
                                                                           "<depth>5.5</depth><divetime>33.33<",
     "Dive 7 of 14/07/2002 10:38: its 4 profile samples spread over its dive time of 1:40 in the UDDF file,"
     " as at the export's sample interval of 20 s they would end at 1:00."},
    {"SpreadNoInterval",  [](Dive& d) { d.sampleInterval = 0; d.exact.diveTime = Decimal::Parse("90"); },
                                                                           "<depth>5.5</depth><divetime>30<",
     "Dive 7 of 14/07/2002 10:38: its 4 profile samples spread over its dive time of 1:30 in the UDDF file,"
     " as the export gives no sample interval."},
    {"GasWithoutPressure",[](Dive& d) { d.profile.clear(); d.exact.oxygen = Decimal::Parse("50"); },
     "<samples>\n<waypoint><depth>0</depth><divetime>0</divetime><switchmix ref=\"mix1\"/></waypoint>\n</samples>", ""},
    {"GasInTankData",     [](Dive& d) { d.profile.clear(); d.exact.startPressure = Decimal::Parse("200"); },
                                                                           "!<samples>", ""},
    {"BuddiesBeforeSite", [](Dive& d) { d.site = "Reef"; d.buddy = "Ann Lee"; d.diveMaster = "Bo"; },
     "<link ref=\"buddy1\"/>\n<link ref=\"buddy2\"/>\n<link ref=\"site1\"/>\n<divenumber>", ""},
    {"BuddiesSplit",      [](Dive& d) { d.buddy = ", Buddy 2,, Guide 5 ;"; d.diveMaster = "Guide 5"; },
     "<link ref=\"buddy1\"/>\n<link ref=\"buddy2\"/>\n<divenumber>", ""},
    {"ComputerNamed",     [](Dive& d) { d.computerType = 72; d.computerSerial = "12345"; },
                                                                           "<name>SDM computer type 72, serial 12345</name>", ""},
    {"ComputerNoSerial",  [](Dive& d) { d.computerType = 72; },            "<name>SDM computer type 72</name>", ""},
    {"NotesOneParagraph", [](Dive& d) { d.note = "a<br>\n\rb"; d.weather = "sun"; d.boat = "Nemo"; },
                                                                           "<notes>\n<para>a\nb\nWeather: sun\nBoat: Nemo</para>\n</notes>", ""},
    {"CoordinatesAsSite", [](Dive& d) { d.site = "49.792736, 15.577312"; },
     "<location></location>\n<latitude>49.792736</latitude>\n<longitude>15.577312</longitude>", ""},
    {"CoordinatesAsPlace",[](Dive& d) { d.site = "Reef"; d.location = "N49 47.5 W15 30"; },
     "<location>N49 47.5 W15 30</location>\n<latitude>49.7916667</latitude>\n<longitude>-15.5</longitude>", ""},
    {"VisibilityInMetres",[](Dive& d) { d.visibility = " 25 m"; },         "<visibility>25</visibility>", ""},
    {"VisibilityAsText",  [](Dive& d) { d.visibility = "25 ft"; },         "<para>Visibility: 25 ft</para>", ""},
    {"WaterTemperatures", [](Dive& d) { d.exact.bottomTemperature = Decimal::Parse("19");
                                        d.exact.endTemperature = Decimal::Parse("21.5"); },
     "<depth>12.25</depth><divetime>40</divetime><temperature>292.15</temperature>", ""},
};
// clang-format on

TEST(UddfWriter, WritesWhatUddfCanHoldAndNamesWhatItLeavesOut) {
  Logbook all;
  for (const auto& row : kEdgeRows) {
    Logbook logbook;
    logbook.dives.push_back(PlainDive());
    row.change(logbook.dives.back());
    all.dives.push_back(logbook.dives.back());
    Lines history;
    const std::string file = Written(logbook, history);
    const bool absent = row.piece[0] == '!';
    EXPECT_EQ(file.find(row.piece + absent) == std::string::npos, absent) << row.name;
    ASSERT_FALSE(history.empty()) << row.name;  // the date order's line first
    EXPECT_EQ(Lines(history.begin() + 1, history.end()),
              *row.history ? Lines{row.history} : Lines{})
        << row.name;
  }
  Lines history;
  EXPECT_TRUE(ValidUddf(Written(all, history)));
}

// The dates of a logbook, the order asked for, and what the history and the
// first dive's start say.
struct DateOrderRow {
  const char* name;
  Lines dates;
  DateOrder order;
  const char* history;
  const char* firstStart;
};

// clang-format off
const DateOrderRow kDateOrderRows[] = {
    {"DayOverTwelve",   {"04/12/2010", "31/12/2010"}, DateOrder::FromDates,
     "Dates read day first, as the logbook's dates show.",                  "2010-12-04"},
    {"MonthOverTwelve", {"04/12/2010", "12/31/2010"}, DateOrder::FromDates,
     "Dates read month first, as the logbook's dates show.",                "2010-04-12"},
    {"MostDatesWin",    {"13/01/2010", "14/01/2010", "01/13/2010"}, DateOrder::FromDates,
     "Dates read day first, as the logbook's dates show.",                  "2010-01-13"},
    {"NoneTells",       {"04/12/2010", "05/12/2010"}, DateOrder::FromDates,
     "Dates read day first, as no date of the logbook tells the order.",    "2010-12-04"},
    {"Chosen",          {"04/12/2010", "31/12/2010"}, DateOrder::MonthFirst,
     "Dates read month first, as chosen.",                                  "2010-04-12"},
};
// clang-format on

TEST(UddfWriter, ReadsDatesInTheOrderTheLogbookShowsOrTheUserChose) {
  for (const auto& row : kDateOrderRows) {
    Logbook logbook;
    for (const auto& date : row.dates) {
      logbook.dives.push_back(PlainDive());
      logbook.dives.back().date = date;
    }
    Lines history;
    const std::string file = Written(logbook, history, UddfOptions{row.order});
    ASSERT_FALSE(history.empty()) << row.name;
    EXPECT_EQ(history[0], row.history) << row.name;
    const auto start = file.find("<datetime>");
    EXPECT_EQ(file.substr(start + 10, 10), row.firstStart) << row.name;
  }
}

TEST(UddfWriter, WritesNoDiveOnceTheSinkHasFailed) {
  class FailedSink : public ByteSink {
   public:
    void write(std::string_view) override {}
    bool good() const override { return false; }
  } sink;
  Logbook logbook;
  logbook.dives.assign(3, PlainDive());
  HistoryLines report;
  EXPECT_EQ(WriteUddf(logbook, UddfOptions{}, sink, report).divesWritten, 0u);
}

}  // namespace
}  // namespace quellmar
