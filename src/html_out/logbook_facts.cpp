#include "html_out/logbook_facts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string_view>

#include "basic/text.h"

namespace quellmar {
namespace {

long double TenTo(int power) {
  long double result = 1;
  for (int i = 0; i < power; ++i) result *= 10;
  return result;
}

std::string ClockText(std::int64_t seconds) {
  return SecondsToClockText(static_cast<std::int32_t>(
      std::min<std::int64_t>(seconds, std::numeric_limits<std::int32_t>::max())));
}

}  // namespace

std::int64_t WholeSeconds(const Decimal& seconds) {
  return std::llround(static_cast<long double>(seconds.units) / TenTo(seconds.places));
}

std::string MeanText(std::span<const Decimal> values, int maxPlaces) {
  if (values.empty()) return {};
  int finest = 0;
  int coarsest = Decimal::kMaxPlaces;
  for (const Decimal& value : values) {
    finest = std::max<int>(finest, value.places);
    coarsest = std::min<int>(coarsest, value.places);
  }
  const int places = std::min(coarsest, maxPlaces);
  // Summed in units of the finest value: exact, as the 64-bit mantissa holds
  // every such sum a logbook can reach.
  long double sum = 0;
  for (const Decimal& value : values) sum += value.units * TenTo(finest - value.places);
  const long double mean = sum / (static_cast<long double>(values.size()) * TenTo(finest - places));
  const long double limit = std::numeric_limits<std::int32_t>::max();
  return Decimal{static_cast<std::int32_t>(std::llround(std::clamp(mean, -limit, limit))),
                 static_cast<std::int8_t>(places)}
      .text();
}

LogbookFacts::LogbookFacts(const Logbook& logbook) : siteOf_(logbook.dives.size(), -1) {
  std::int64_t seconds = 0;
  std::int64_t timed = 0;
  const Decimal* deepestDepth = nullptr;
  std::vector<Decimal> sacs;
  std::map<std::string_view, int> siteEntry;
  for (std::size_t i = 0; i < logbook.dives.size(); ++i) {
    const Dive& dive = logbook.dives[i];
    const ExactValues& exact = dive.exact;
    if (exact.diveTime && exact.diveTime->units >= 0) {
      seconds += WholeSeconds(*exact.diveTime);
      ++timed;
    }
    if (exact.maxDepth && (!deepestDepth || exact.maxDepth->value() > deepestDepth->value())) {
      deepestDepth = &*exact.maxDepth;
    }
    if (exact.sac && exact.sac->units > 0) sacs.push_back(*exact.sac);
    if (dive.site.empty()) continue;
    const auto [entry, isNew] = siteEntry.try_emplace(dive.site, static_cast<int>(sites_.size()));
    if (isNew) sites_.emplace_back();
    sites_[static_cast<std::size_t>(entry->second)].push_back(static_cast<int>(i));
    siteOf_[i] = entry->second;
  }
  if (timed > 0) {
    totalDiveTime = ClockText(seconds);
    averageDiveTime = ClockText((2 * seconds + timed) / (2 * timed));  // rounded
  }
  if (deepestDepth) deepest = deepestDepth->text();
  averageSac = MeanText(sacs, 1);
}

std::span<const int> LogbookFacts::sameSite(int dive) const {
  if (dive < 0 || static_cast<std::size_t>(dive) >= siteOf_.size()) return {};
  const int entry = siteOf_[static_cast<std::size_t>(dive)];
  if (entry < 0) return {};
  return sites_[static_cast<std::size_t>(entry)];
}

int NeighbourDive(const Logbook& logbook, int dive, int step) {
  const auto count = static_cast<int>(logbook.dives.size());
  if (dive < 0 || dive >= count) return NoDive;
  const std::int32_t number = logbook.dives[static_cast<std::size_t>(dive)].number;
  for (int other = dive + step; other >= 0 && other < count; other += step) {
    if (logbook.dives[static_cast<std::size_t>(other)].number != number) return other;
  }
  return NoDive;
}

}  // namespace quellmar
