#include "html_out/logbook_facts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quellmar {
namespace {

std::vector<Decimal> Numbers(std::initializer_list<const char*> texts) {
  std::vector<Decimal> numbers;
  for (const char* text : texts) numbers.push_back(*Decimal::Parse(text));
  return numbers;
}

TEST(MeanText, RoundsToTheCoarsestValueAndAtMostTheGivenPlaces) {
  // clang-format off
  const struct { const char* name; std::vector<Decimal> values; int maxPlaces; const char* mean; } rows[] = {
      {"zenobia_depths",        Numbers({"17.551", "20.654"}), 1, "19.1"},
      {"whole_metres_stay",     Numbers({"10", "11"}),         1, "11"},    // 10.5, half away from 0
      {"coarsest_value_counts", Numbers({"2.5", "3"}),         1, "3"},
      {"finer_than_allowed",    Numbers({"9.12", "9.1"}),      1, "9.1"},
      {"more_places_allowed",   Numbers({"9.12", "9.15"}),     3, "9.14"},  // 9.135
      {"negative",              Numbers({"-1.25", "-1.35"}),   1, "-1.3"},
      {"none",                  Numbers({}),                   1, ""},
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MeanText(row.values, row.maxPlaces), row.mean);
  }
}

Dive MakeDive(std::int32_t number, const char* site, const char* seconds, const char* depth,
              const char* sac) {
  Dive dive;
  dive.number = number;
  dive.site = site;
  dive.exact.diveTime = Decimal::Parse(seconds);
  dive.exact.maxDepth = Decimal::Parse(depth);
  dive.exact.sac = Decimal::Parse(sac);
  return dive;
}

// Five dives as an export may hold them: a missing time, depth and SAC, a SAC
// of 0 (none recorded), a dive without a site and two dives numbered 2.
Logbook SampleLogbook() {
  Logbook book;
  book.dives = {MakeDive(1, "Zenobia", "2437", "39.62", "14.25"),
                MakeDive(2, "", "3600", "40.0", "0"), MakeDive(2, "Zenobia", "", "", ""),
                MakeDive(3, "Sund Rock", "61", "12", "16"),
                MakeDive(4, "Zenobia", "1800.4", "8.5", "")};
  return book;
}

TEST(LogbookFacts, TotalsAndAveragesComeFromTheExactValues) {
  const LogbookFacts facts(SampleLogbook());
  EXPECT_EQ(facts.totalDiveTime, "02:11:38");    // 2437 + 3600 + 61 + 1800 = 7898 seconds
  EXPECT_EQ(facts.averageDiveTime, "00:32:55");  // 7898 / 4 = 1974.5, rounded up
  EXPECT_EQ(facts.deepest, "40.0");              // as exported, not "40"
  EXPECT_EQ(facts.averageSac, "15");             // 14.25 and 16, to whole litres as 16 is

  const LogbookFacts none{Logbook{}};
  EXPECT_EQ(none.totalDiveTime + none.averageDiveTime + none.deepest + none.averageSac, "");
}

TEST(LogbookFacts, NeighboursAndTheDivesAtTheSameSite) {
  const Logbook book = SampleLogbook();
  const LogbookFacts facts(book);
  // clang-format off
  const struct { int dive; int previous; int next; std::vector<int> sameSite; } rows[] = {
      {0, NoDive, 1,      {0, 2, 4}},
      {1, 0,      3,      {}},         // no site: no dives at it
      {2, 0,      3,      {0, 2, 4}},  // dive 1 is passed over: its page is this page
      {4, 3,      NoDive, {0, 2, 4}},
      {7, NoDive, NoDive, {}},         // no such dive
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.dive);
    EXPECT_EQ(NeighbourDive(book, row.dive, -1), row.previous);
    EXPECT_EQ(NeighbourDive(book, row.dive, +1), row.next);
    const auto site = facts.sameSite(row.dive);
    EXPECT_EQ(std::vector<int>(site.begin(), site.end()), row.sameSite);
  }
}

}  // namespace
}  // namespace quellmar
