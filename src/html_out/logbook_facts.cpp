#include "html_out/logbook_facts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string_view>

#include "basic/display_text.h"
#include "basic/text.h"
#include "html_out/html_text.h"

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

std::string PageName(const Dive& dive) {
  std::string name = "d";  // built by appending: GCC 12 warns falsely on "d" + text
  name += IntText(dive.number);
  name += ".html";
  return name;
}

// Text for the address's fragment: UTF-8, as the page's script decodes it,
// with every byte but letters, digits and "-_.~" percent-encoded.
std::string AddressText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : DisplayUtf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' || byte == '~') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
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

std::string LogbookFacts::sameSiteItems(const Logbook& logbook, int dive) const {
  const std::span<const int> site = sameSite(dive);
  constexpr std::ptrdiff_t kListed = 10;
  const auto size = static_cast<std::ptrdiff_t>(site.size());
  const std::ptrdiff_t at = std::find(site.begin(), site.end(), dive) - site.begin();
  const std::ptrdiff_t first =
      size - 1 <= kListed ? 0 : std::clamp(at - kListed / 2, std::ptrdiff_t{0}, size - 1 - kListed);
  const std::ptrdiff_t end = std::min(size, first + kListed + 1);
  std::string items;
  for (std::ptrdiff_t i = first; i < end; ++i) {
    if (i == at) continue;
    const Dive& other = logbook.dives[static_cast<std::size_t>(site[static_cast<std::size_t>(i)])];
    items += "<li><a href=\"" + PageName(other) + "\">Dive " + IntText(other.number) + "</a> " +
             KeepHarmlessMarkup(other.date) + "</li>";
  }
  if (end - first < size) {
    const Dive& self = logbook.dives[static_cast<std::size_t>(dive)];
    items += "<li><a href=\"logbook.html#&&" + AddressText(self.site) + "&date:-1\">All " +
             IntText(static_cast<std::int32_t>(size)) + " dives at this site</a></li>";
  }
  return items;
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

std::string NeighbourLink(const Logbook& logbook, int dive, int step) {
  const int other = NeighbourDive(logbook, dive, step);
  if (other == NoDive) return {};
  const Dive& neighbour = logbook.dives[static_cast<std::size_t>(other)];
  const std::string number = IntText(neighbour.number);
  if (step < 0)
    return "<a href=\"" + PageName(neighbour) + "\" rel=\"prev\">&larr; Dive " + number + "</a>";
  return "<a href=\"" + PageName(neighbour) + "\" rel=\"next\">Dive " + number + " &rarr;</a>";
}

}  // namespace quellmar
