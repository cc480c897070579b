// When each sample of a dive's profile was taken. The export gives the
// seconds between samples, but some computers write an interval that does
// not fit their dive time (a profile of 10:46 on a dive of 55:01); the
// profile picture knows no interval and draws the samples evenly from the
// start of the dive to its end. A profile whose samples at the interval miss
// the dive time by more than a tenth is timed the picture's way everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "basic/decimal.h"

namespace quellmar {

class ProfileClock {
 public:
  // The clock of a profile of samples taken interval seconds apart on a
  // dive of diveTime seconds; nothing when no time can be given to the
  // samples (no interval, and no dive time to spread them over).
  static std::optional<ProfileClock> Of(std::size_t samples, std::int32_t interval,
                                        const std::optional<Decimal>& diveTime);

  // Sample k's time in hundredths of a second, the first sample at 0.
  std::int64_t hundredthsAt(std::size_t k) const;
  // True when the samples are spread over the dive time.
  bool spread() const { return spread_; }
  // The time of the last sample at the export's interval, in seconds.
  std::int64_t intervalSpan() const { return intervalSpan_; }

 private:
  ProfileClock(std::int64_t span, std::int64_t steps, std::int64_t intervalSpan, bool spread)
      : span_(span), steps_(steps), intervalSpan_(intervalSpan), spread_(spread) {}

  std::int64_t span_;   // hundredths of a second from the first sample to the last
  std::int64_t steps_;  // samples less one, at least 1
  std::int64_t intervalSpan_;
  bool spread_;
};

}  // namespace quellmar
