#include "model/profile_clock.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

// A profile's samples, interval and dive time; whether the samples are
// spread, and the last sample's time in hundredths of a second (-1: no clock).
struct ClockRow {
  const char* name;
  std::size_t samples;
  std::int32_t interval;
  const char* diveTime;
  bool spread;
  std::int64_t lastAt;
};

// clang-format off
const ClockRow kClockRows[] = {
    {"Fits",                 4, 20, "60",     false,   6000},
    {"ShortByATenth",       12, 10, "100",    false,  11000},
    {"LongByATenth",        10, 10, "100",    false,   9000},
    {"ShortByMore",         12, 10, "99",     true,    9900},
    {"EndsAt10m46On55m01", 647,  1, "3301",   true,  330100},
    {"TimeWithDecimals",     3, 10, "100.5",  true,   10050},
    {"TimeInMilliseconds",   3, 10, "100.005",true,   10001},
    {"NoDiveTime",           4, 20, nullptr,  false,   6000},
    {"ZeroDiveTime",         4, 20, "0",      false,   6000},
    {"NoIntervalSpread",     4,  0, "90",     true,    9000},
    {"NoIntervalNoTime",     4,  0, nullptr,  false,     -1},
    {"NegativeInterval",     4, -5, "0",      false,     -1},
    {"OneSample",            1, 20, "600",    false,      0},
};
// clang-format on

TEST(ProfileClock, SpreadsSamplesWhoseIntervalMissesTheDiveTimeByMoreThanATenth) {
  for (const auto& row : kClockRows) {
    const auto diveTime = row.diveTime ? Decimal::Parse(row.diveTime) : std::nullopt;
    const auto clock = ProfileClock::Of(row.samples, row.interval, diveTime);
    EXPECT_EQ(clock && clock->spread(), row.spread) << row.name;
    EXPECT_EQ(clock ? clock->hundredthsAt(row.samples - 1) : -1, row.lastAt) << row.name;
  }
}

}  // namespace
}  // namespace quellmar
