// Numbers and durations written as text, the way the logbook pages and the
// summary show them.
#pragma once

#include <cstdint>
#include <string>

namespace quellmar {

std::string IntText(std::int32_t n);  // plain decimal, "-" for negatives

// Whole minutes and " min"; a remainder above 30 seconds rounds up, so
// 30 gives "0 min" and 31 "1 min".
std::string SecondsToMinutesText(std::int32_t seconds);

// M:SS, the seconds two digits: "55:01", "100:00" (a dive time of 6000 s).
std::string SecondsToMinutesAndSecondsText(std::int64_t seconds);

// HH:MM:SS, each part at least two digits; 100 hours give "100:00:00".
std::string SecondsToClockText(std::int32_t seconds);

}  // namespace quellmar
