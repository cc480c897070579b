#include "import/sdm_format.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "basic/text_file.h"
#include "import/export_files.h"
#include "support/temp_dir.h"

namespace quellmar {
namespace {

using testing::DiveLine;

Dive Parse(std::string_view line, std::vector<NoteLine> notes = {},
           std::vector<Profile> profiles = {}) {
  CompanionIndex index(notes, profiles);
  std::vector<Dive> dives(1);
  ParseDiveLine(line, dives[0], index);
  index.GiveProfiles(dives);
  return dives[0];
}

TEST(ParseDiveLine, EveryColumnIntoItsField) {
  const std::string line =
      "2001,12,\"14/07/2002\",\"10:38\",3,2,2125,7200,18.5,9.49,12,\"e04d0248\",\"diver 1\","
      "20,1,2,\"x\",\"y\",\"Dahab, Egypt\",\"Canyon\",\"sunny\",\"20 m\",31,24,25,\"J\xf6rg\","
      "\"Ali\",\"Lady M\",\"S80\",11.1,1,200,210,50,16.5,1,\"Reef\",\"\",\"Night\",\"\",\"Deep\","
      "6.5,32,0,3,\"beyond\",99";
  const Dive dive = Parse(line);
  EXPECT_EQ(dive.key, 2001);
  EXPECT_EQ(dive.number, 12);
  EXPECT_EQ(dive.date, "14/07/2002");
  EXPECT_EQ(dive.time, "10:38");
  EXPECT_EQ(dive.series, 3);
  EXPECT_EQ(dive.diveSeries, 2);
  EXPECT_EQ(dive.diveTime, 2125);
  EXPECT_EQ(dive.surfaceInterval, 7200);
  EXPECT_EQ(dive.maxDepth, 19);
  EXPECT_EQ(dive.averageDepth, 9);
  EXPECT_EQ(dive.computerType, 12);
  EXPECT_EQ(dive.computerSerial, "e04d0248");
  EXPECT_EQ(dive.diverId, "diver 1");
  EXPECT_EQ(dive.sampleInterval, 20);
  EXPECT_EQ(dive.altitudeMode, 1);
  EXPECT_EQ(dive.personalMode, 2);
  EXPECT_EQ(dive.location, "Dahab, Egypt");
  EXPECT_EQ(dive.site, "Canyon");
  EXPECT_EQ(dive.weather, "sunny");
  EXPECT_EQ(dive.visibility, "20 m");
  EXPECT_EQ(dive.airTemperature, 31);
  EXPECT_EQ(dive.bottomTemperature, 24);
  EXPECT_EQ(dive.endTemperature, 25);
  EXPECT_EQ(dive.buddy, "J\xf6rg");
  EXPECT_EQ(dive.diveMaster, "Ali");
  EXPECT_EQ(dive.boat, "Lady M");
  EXPECT_EQ(dive.tankName, "S80");
  EXPECT_EQ(dive.tankVolume, 11);
  EXPECT_EQ(dive.workingPressure, 200);
  EXPECT_EQ(dive.startPressure, 210);
  EXPECT_EQ(dive.endPressure, 50);
  EXPECT_EQ(dive.sac, 17);
  EXPECT_EQ(dive.customTexts, "Reef, Night, Deep");
  EXPECT_EQ(dive.weight, 6);
  EXPECT_EQ(dive.oxygen, 32);
  EXPECT_EQ(dive.computerMode, 3);
  EXPECT_EQ(dive.note, "");
  EXPECT_EQ(dive.profile, "");
  // The numbers with the decimals the export wrote.
  const auto exact = [](const std::optional<Decimal>& value) {
    return value ? value->text() : "none";
  };
  const ExactValues& e = dive.exact;
  EXPECT_EQ(exact(e.diveTime) + " " + exact(e.maxDepth) + " " + exact(e.averageDepth),
            "2125 18.5 9.49");
  EXPECT_EQ(
      exact(e.airTemperature) + " " + exact(e.bottomTemperature) + " " + exact(e.endTemperature),
      "31 24 25");
  EXPECT_EQ(exact(e.tankVolume) + " " + exact(e.workingPressure) + " " + exact(e.startPressure) +
                " " + exact(e.endPressure),
            "11.1 200 210 50");
  EXPECT_EQ(exact(e.sac) + " " + exact(e.weight) + " " + exact(e.oxygen), "16.5 6.5 32");
  EXPECT_EQ(exact(Parse("1,2").exact.maxDepth), "none");
  EXPECT_FALSE(dive.hasProfile());
}

struct ColumnRow {
  const char* name;
  std::map<int, std::string> columns;
  std::string (*field)(const Dive&);
  std::string expected;
};

std::string Date(const Dive& d) { return d.date; }
std::string Time(const Dive& d) { return d.time; }
std::string Serial(const Dive& d) { return d.computerSerial; }
std::string Location(const Dive& d) { return d.location; }
std::string Site(const Dive& d) { return d.site; }
std::string Customs(const Dive& d) { return d.customTexts; }
std::string DiveTime(const Dive& d) { return std::to_string(d.diveTime); }
std::string MaxDepth(const Dive& d) { return std::to_string(d.maxDepth); }
std::string Surface(const Dive& d) { return std::to_string(d.surfaceInterval); }
std::string Sac(const Dive& d) { return std::to_string(d.sac); }
std::string DiveNo(const Dive& d) { return std::to_string(d.number); }

// clang-format off
const ColumnRow kColumnRows[] = {
    {"date_cut_to_ten",        {{3, "\"2002.07.14.\""}},   Date,     "2002.07.14"},
    {"date_of_twelve",         {{3, "\"14/07/2002 x\""}},  Date,     "14/07/2002"},
    {"time_cut_to_five",       {{4, "\"12:34:56\""}},      Time,     "12:34"},
    {"serial_cut_to_ten",      {{12, "\"0123456789AB\""}}, Serial,   "0123456789"},
    {"divetime_wraps",         {{7, "40000"}},             DiveTime, "-25536"},
    {"divetime_negative",      {{7, "-5"}},                DiveTime, "-5"},
    {"surface_is_32_bit",      {{8, "40000"}},             Surface,  "40000"},
    {"depth_rounded",          {{9, "32.5"}},              MaxDepth, "33"},
    {"depth_wraps",            {{9, "65536.5"}},           MaxDepth, "1"},
    {"sac_rounded_down",       {{35, "15.49"}},            Sac,      "15"},
    {"quoted_number_is_zero",  {{2, "\"12\""}},            DiveNo,   "0"},
    {"quoted_location_comma",  {{19, "\"Dahab, Egypt\""}, {20, "\"Canyon\""}}, Location, "Dahab, Egypt"},
    // Bare, the comma ends the location and its second half becomes the site.
    {"bare_location_comma",    {{19, "Dahab, Egypt"}},     Site,     " Egypt"},
    {"customs_first_only",     {{37, "\"Reef\""}},         Customs,  "Reef"},
    {"customs_first_and_third",{{37, "\"Reef\""}, {39, "\"Night\""}}, Customs, "Reef, Night"},
    {"customs_first_empty",    {{38, "\"Night\""}},        Customs,  ", Night"},
    {"customs_all_five",       {{37, "a"}, {38, "b"}, {39, "c"}, {40, "d"}, {41, "e"}}, Customs, "a, b, c, d, e"},
    {"customs_none",           {},                         Customs,  ""},
};
// clang-format on

TEST(ParseDiveLine, ColumnRules) {
  for (const auto& row : kColumnRows) {
    EXPECT_EQ(row.field(Parse(DiveLine(row.columns))), row.expected) << row.name;
  }
}

TEST(ParseDiveLine, ShortLineReadsAsZerosAndEmptyTexts) {
  const Dive dive = Parse("7,8,\"01/02/2003\"");
  EXPECT_EQ(dive.key, 7);
  EXPECT_EQ(dive.number, 8);
  EXPECT_EQ(dive.date, "01/02/2003");
  EXPECT_EQ(dive.time, "");
  EXPECT_EQ(dive.diveTime, 0);
  EXPECT_EQ(dive.location, "");
  EXPECT_EQ(dive.computerMode, 0);
}

TEST(ParseDiveLine, TitleLineIsADiveOfZerosAndTitles) {
  const Dive dive = Parse(
      "DIVEID,DIVENO,DATE_,TIME_,SERIES,DIVESERIES,DIVETIME,SURFACE,MAXDEPTH,AVGDEPTH,"
      "COMPTYPE,SERIAL,DIVER,RATE,ALT,PERS,A,B,LOCATION,SITE");
  EXPECT_EQ(dive.key, 0);
  EXPECT_EQ(dive.number, 0);
  EXPECT_EQ(dive.date, "DATE_");
  EXPECT_EQ(dive.location, "LOCATION");
  EXPECT_EQ(dive.site, "SITE");
}

std::vector<NoteLine> NoteLines(const std::vector<std::string>& lines) {
  std::vector<NoteLine> notes;
  for (const auto& line : lines) ReadNoteLine(line, notes);
  return notes;
}

std::vector<Profile> ProfileRuns(std::initializer_list<const char*> lines) {
  std::vector<Profile> profiles;
  for (const char* line : lines) ReadProfileLine(line, profiles);
  return profiles;
}

TEST(ReadNoteLine, KeyAndText) {
  const auto notes = NoteLines({"2001,\"First dive, cold\"", "2002,bare,more", "x", ""});
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[0].key, 2001);
  EXPECT_EQ(notes[0].text, "First dive, cold");
  EXPECT_EQ(notes[1].key, 2002);
  EXPECT_EQ(notes[1].text, "bare");
  EXPECT_EQ(notes[2].key, 0);
  EXPECT_EQ(notes[2].text, "");
  EXPECT_EQ(notes[3].text, "");
}

TEST(ReadProfileLine, RunsOfOneKeyJoin) {
  const auto profiles =
      ProfileRuns({"5,0,0.0,0", "5,1,2.44,0", "7,0,1.5", "5,0,3", "5,1,\"4.5\",9"});
  ASSERT_EQ(profiles.size(), 3u);
  EXPECT_EQ(profiles[0].key, 5);
  EXPECT_EQ(profiles[0].text, "0.0,2.44");
  EXPECT_EQ(profiles[1].key, 7);
  EXPECT_EQ(profiles[1].text, "1.5");
  EXPECT_EQ(profiles[2].key, 5);
  EXPECT_EQ(profiles[2].text, "3,4.5");
}

TEST(ReadProfileLine, FirstLineStartsARunEvenWithKeyZero) {
  const auto profiles = ProfileRuns({"", "0,1,2"});
  ASSERT_EQ(profiles.size(), 1u);
  EXPECT_EQ(profiles[0].key, 0);
  EXPECT_EQ(profiles[0].text, ",2");
}

std::vector<std::pair<std::int32_t, std::string>> Runs(const std::vector<Profile>& profiles) {
  std::vector<std::pair<std::int32_t, std::string>> runs;
  for (const auto& run : profiles) runs.emplace_back(run.key, run.text);
  return runs;
}

// The whole file read by ReadProfileFile gives the runs that its lines give
// one by one, whatever the chunk size puts at a chunk's end: lines that join
// without reading their key mixed with every kind that does not.
TEST(ReadProfileFile, SameRunsAsLineByLine) {
  const std::string_view files[] = {
      "7,0,1.5,0,0\r\n7,1,2.25,0,0\r\n7,2,3\r\n7,3,4.5,9\r\n8,0,1\r\n8,1,2\r\n7,4,5\r\n",
      "7,0,1\r7,1,2\r\n7,2,3\n4\r\n\n7,3,5\r7,4,\"6,5\",0\r\n7,\"5\",7\r\n7,6\r\n7,7,\r\n7,8",
      "07,0,1\r\n7,1,2\r\n07,2,3\r\n007,3,4\r\n7x,4,5\r\n7x,5,6\r\n,6,7\r\n,7,8\r\n",
      "123456789,0,1\r\n123456789,1,2\r\n1234567890,0,3\r\n1234567890,1,4\r\n-5,0,1\r\n-5,1,2\r\n",
      "5,0,1\r\n5,1,2\x1a"
      "5,2,3\r\n",
      "5,0,1\r\n5,1,2\r\n5,2,3\r",
      "\r\n0,1,2\r\n0,2,3\r\n\r\n\r\n",
      "",
  };
  testing::TempDir dir;
  const std::string names = "abcdefgh";
  for (std::size_t n = 0; n < std::size(files); ++n) {
    const std::string_view text = files[n];
    const auto path = dir.write(names.substr(n, 1), text);
    std::vector<Profile> expected;
    for (const auto& line : SplitLines(text.substr(0, text.find('\x1a')))) {
      ReadProfileLine(line, expected);
    }
    for (const std::size_t chunk : {1, 2, 3, 5, 8, 13, 1 << 20}) {
      LineFile file(path, chunk);
      std::vector<Profile> profiles;
      ReadProfileFile(file, profiles);
      EXPECT_FALSE(file.failed());
      EXPECT_EQ(Runs(profiles), Runs(expected)) << "file " << n << ", chunk " << chunk;
    }
  }
}

// Long files of lines made from random pieces, so that lines of every kind
// stand at every place of the buffer and of the 32-byte windows the reader
// looks through.
TEST(ReadProfileFile, SameRunsAsLineByLineOnMixedLines) {
  const char* const keys[] = {"12", "12", "12", "12", "345", "\"12\"", "", "1x"};
  const char* const samples[] = {"0", "17", "123456789012345678901234567890", "\"1,2\"", ""};
  const char* const depths[] = {"2.5", "", "\"3,5\"", "1\n2", "40.25", "7\r8"};
  const char* const tails[] = {"", ",0,0,0,0,0,0,0", ",0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0",
                               ",\"a\r\""};
  const char* const ends[] = {"\r\n", "\r\n", "\r", "\r\n\n"};
  std::mt19937 random(7);
  const auto pick = [&](const auto& pieces) { return pieces[random() % std::size(pieces)]; };
  testing::TempDir dir;
  for (int round = 0; round < 20; ++round) {
    std::string text;
    for (int line = 0; line < 300; ++line) {
      text += pick(keys);
      if (random() % 16 == 0) {
        text += pick(ends);
        continue;
      }
      text += ',';
      text += pick(samples);
      if (random() % 16 != 0) {
        text += ',';
        text += pick(depths);
        text += pick(tails);
      }
      text += pick(ends);
    }
    const auto path = dir.write("mixed.csv", text);
    std::vector<Profile> expected;
    for (const auto& line : SplitLines(text)) ReadProfileLine(line, expected);
    for (const std::size_t chunk : {37, 1 << 20}) {
      LineFile file(path, chunk);
      std::vector<Profile> profiles;
      ReadProfileFile(file, profiles);
      EXPECT_EQ(Runs(profiles), Runs(expected)) << "round " << round << ", chunk " << chunk;
    }
  }
}

// Each dive gets the first run of its key with two characters or more: keys
// 5, 5, 7, 5 give the dive with key 5 the first run only; a run of one
// character is passed over for a later one; dives sharing a key share it.
TEST(GiveProfiles, FirstRunOfTwoCharactersOrMore) {
  // clang-format off
  const struct { std::initializer_list<const char*> lines; std::vector<std::int32_t> keys; std::vector<std::string> profiles; } rows[] = {
      {{"5,0,1", "5,1,2", "7,0,3", "5,0,9"}, {5, 7, 8, 5}, {"1,2", "", "", "1,2"}},
      {{"5,0,1", "6,0,1", "5,0,12"},         {5},          {"12"}},
  };
  // clang-format on
  for (const auto& row : rows) {
    auto profiles = ProfileRuns(row.lines);
    std::vector<NoteLine> notes;
    CompanionIndex index(notes, profiles);
    std::vector<Dive> dives(row.keys.size());
    for (std::size_t i = 0; i < dives.size(); ++i) dives[i].key = row.keys[i];
    index.GiveProfiles(dives);
    for (std::size_t i = 0; i < dives.size(); ++i)
      EXPECT_EQ(dives[i].profile, row.profiles[i]) << i;
  }
}

TEST(ParseDiveLine, HasProfileFromTheProfileLength) {
  const auto oneChar = Parse("5,1", {}, ProfileRuns({"5,0,0"}));
  EXPECT_EQ(oneChar.profile, "");
  EXPECT_FALSE(oneChar.hasProfile());
  const auto twoChars = Parse("5,1", {}, ProfileRuns({"5,0,12"}));
  EXPECT_EQ(twoChars.profile, "12");
  EXPECT_TRUE(twoChars.hasProfile());
}

constexpr const char* kBr = "<br>\n\r";

struct NoteRow {
  const char* name;
  std::vector<std::string> lines;
  std::int32_t key;
  std::string expected;
};

std::string Long(char c) { return std::string(254, c); }

// clang-format off
const NoteRow kNoteRows[] = {
    {"one_line",            {"3,\"cold\""},                         3, "cold"},
    {"no_note",             {"4,\"cold\""},                         3, ""},
    {"lines_joined_by_break", {"3,one", "3,two", "3,three"},        3, std::string("one") + kBr + "two" + kBr + "three"},
    {"run_ends_at_other_key", {"3,a1", "3,a2", "4,b1", "3,a3"},     3, std::string("a1") + kBr + "a2"},
    {"short_lines_passed_over", {"3,\"\"", "3,x", "3,ab", "3,y", "3,cd"}, 3, std::string("ab") + kBr + "cd"},
    {"short_line_of_other_key_ends_run", {"3,ab", "4,", "3,cd"},   3, "ab"},
    {"run_starts_at_first_long_enough", {"3,x", "4,zz", "3,ab", "3,cd"}, 3, std::string("ab") + kBr + "cd"},
    {"pair_of_spaces",      {"3,\"a  b\""},                         3, std::string("a") + kBr + "b"},
    {"three_spaces",        {"3,\"a   b\""},                        3, std::string("a") + kBr + " b"},
    {"four_spaces",         {"3,\"a    b\""},                       3, std::string("a") + kBr + kBr + "b"},
    {"pair_at_start",       {"3,\"  ab\""},                         3, std::string(kBr) + "ab"},
    {"single_spaces_stay",  {"3,\" a b \""},                        3, " a b "},
    {"only_two_spaces",     {"3,\"  \""},                           3, kBr},
    {"long_line_runs_on",   {"3," + Long('a'), "3,bc", "3,de"},     3, Long('a') + "bc" + kBr + "de"},
    {"long_last_line",      {"3,ab", "3," + Long('z')},             3, std::string("ab") + kBr + Long('z')},
    {"break_after_253",     {"3," + std::string(253, 'a'), "3,bc"}, 3, std::string(253, 'a') + kBr + "bc"},
    // Two spaces make a 253-character line longer, but it was not cut by the export.
    {"length_before_rewrite", {"3,\"" + std::string(251, 'a') + "  \"", "3,bc"}, 3,
                             std::string(251, 'a') + kBr + kBr + "bc"},
    {"key_zero_of_bad_lines", {"junk,\"text\""},                    0, "text"},
    // A run that starts an RTF document: its lines are the document's.
    {"rtf_paragraphs",      {"3,\"{\\rtf1{\\fonttbl{\\f0 Arial;}}\"", "3,\"\\pard Sch\\'f6n  klar\\par\"",
                             "3,\"<b> & \\par\"", "3,}"},           3, std::string("Sch\xF6n  klar") + kBr + "&lt;b&gt; &amp; "},
    {"rtf_without_text",    {"3,\"{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Sans;}}\"", "3,\"\\pard\\f0\\fs17\\par\"",
                             "3,}"},                                3, ""},
    {"rtf_one_character",   {"3,\"{\\rtf1 x}\""},                   3, ""},
    {"rtf_short_lines_kept", {"3,\"{\\rtf1 a\"", "3,x", "3,\"b}\""}, 3, "axb"},
    {"rtf_line_cut_by_export", {"3,{\\rtf1 " + std::string(244, 'a') + "\\pa", "3,\"r b}\""}, 3,
                             std::string(244, 'a') + kBr + "b"},
    {"rtf_only_at_run_start", {"3,ab", "3,\"{\\rtf1 x}\""},         3, std::string("ab") + kBr + "{\\rtf1 x}"},
};
// clang-format on

TEST(NoteText, Table) {
  for (const auto& row : kNoteRows) {
    auto notes = NoteLines(row.lines);
    std::vector<Profile> profiles;
    CompanionIndex index(notes, profiles);
    EXPECT_EQ(index.NoteText(row.key), row.expected) << row.name;
  }
}

TEST(NoteText, RewritesTheLinesItUsesOnly) {
  auto notes = NoteLines({"3,\"a  b\"", "4,\"c  d\"", "3,\"e  f\""});
  std::vector<Profile> profiles;
  CompanionIndex index(notes, profiles);
  index.NoteText(3);
  EXPECT_EQ(notes[0].text, std::string("a") + kBr + "b");  // no separator stored
  EXPECT_EQ(notes[1].text, "c  d");
  EXPECT_EQ(notes[2].text, "e  f");
}

TEST(NoteText, SameKeyAskedAgainGivesTheSameNote) {
  auto notes =
      NoteLines({"3,\"a  b\"", "3,\"" + std::string(252, 'x') + "  \"", "3,\"c\"", "3,dd"});
  std::vector<Profile> profiles;
  CompanionIndex index(notes, profiles);
  const std::string first = index.NoteText(3);
  EXPECT_EQ(index.NoteText(3), first);
  EXPECT_EQ(index.NoteText(3), first);
  EXPECT_EQ(index.NoteText(3), first);
  EXPECT_EQ(first, std::string("a") + kBr + "b" + kBr + std::string(252, 'x') + kBr + "dd");
}

TEST(ParseDiveLine, TakesItsNoteByKey) {
  const auto dive = Parse("3,17", NoteLines({"2,other", "3,\"cold  water\""}));
  EXPECT_EQ(dive.note, std::string("cold") + kBr + "water");
}

}  // namespace
}  // namespace quellmar
