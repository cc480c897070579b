// What the pages tell about the logbook as a whole and about a dive's place in
// it, worked out once per export from the dives' exact values: totals and
// averages at the precision the export has, and the links from a dive's page
// to the dives before and after it in the logbook's order and to the other
// dives at its site.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "basic/decimal.h"
#include "model/logbook.h"

namespace quellmar {

struct LogbookFacts {
  explicit LogbookFacts(const Logbook& logbook);

  // Each empty when no dive has the value.
  std::string totalDiveTime;    // "41:20:23": the dive times' sum, to the second
  std::string averageDiveTime;  // over the dives that have a dive time
  std::string deepest;          // the greatest maximum depth, as exported
  std::string averageSac;       // over the dives with a SAC above 0

  // The dives with the same site as dive, itself included, in the logbook's
  // order; empty for a dive without a site.
  std::span<const int> sameSite(int dive) const;

  // The other dives at dive's site as list items linking their pages, each
  // with its date as element text (harmless formatting only): all of them,
  // or the ten nearest in the logbook's order and a link to the index
  // showing them all (its script reads the site from the address).
  std::string sameSiteItems(const Logbook& logbook, int dive) const;

 private:
  std::vector<std::vector<int>> sites_;  // dive indices by site, first met first
  std::vector<int> siteOf_;              // per dive its entry in sites_, or -1
};

// The dive next to dive in the logbook's order (step -1 before, +1 after),
// passing over dives of the same number, whose page is this dive's page;
// NoDive at either end.
int NeighbourDive(const Logbook& logbook, int dive, int step);

// The link to that dive's page, rel "prev" or "next"; empty at either end.
std::string NeighbourLink(const Logbook& logbook, int dive, int step);

// The mean of values rounded to the decimals of the coarsest of them, at most
// maxPlaces: the mean of 17.551 and 20.654 to one place is "19.1". Empty
// for no values.
std::string MeanText(std::span<const Decimal> values, int maxPlaces);

// Whole seconds of an exported time, rounded.
std::int64_t WholeSeconds(const Decimal& seconds);

}  // namespace quellmar
