#include "model/profile_clock.h"

#include <cstdlib>

namespace quellmar {
namespace {

// A tenth of the dive time is the most that the export's timing may miss by.
constexpr std::int64_t kToleranceDivisor = 10;

// A non-negative duration in hundredths of a second, rounded half up.
std::int64_t Hundredths(const Decimal& seconds) {
  std::int64_t units = seconds.units;
  int places = seconds.places;
  for (; places < 2; ++places) units *= 10;
  for (; places > 3; --places) units /= 10;
  return places == 3 ? (units + 5) / 10 : units;
}

}  // namespace

std::optional<ProfileClock> ProfileClock::Of(std::size_t samples, std::int32_t interval,
                                             const std::optional<Decimal>& diveTime) {
  const std::int64_t steps = samples > 1 ? static_cast<std::int64_t>(samples) - 1 : 1;
  const std::int64_t intervalSpan = interval > 0 ? steps * interval : 0;
  const std::int64_t dive = diveTime && diveTime->units > 0 ? Hundredths(*diveTime) : 0;
  const bool misses = std::llabs(100 * intervalSpan - dive) * kToleranceDivisor > dive;
  if (samples > 1 && dive > 0 && misses) return ProfileClock(dive, steps, intervalSpan, true);
  if (interval <= 0) return std::nullopt;
  return ProfileClock(100 * intervalSpan, steps, intervalSpan, false);
}

// k times span over steps, rounded, in parts small enough for any profile.
std::int64_t ProfileClock::hundredthsAt(std::size_t k) const {
  const auto step = static_cast<std::int64_t>(k);
  const std::int64_t rest = step * (span_ % steps_);
  return step * (span_ / steps_) + (2 * rest + steps_) / (2 * steps_);
}

}  // namespace quellmar
