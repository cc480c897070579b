// A logbook as the import reads it: the dives with their notes and
// profiles, and the summary. Plain data; the import makes it, the exports
// and the window only read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basic/decimal.h"

namespace quellmar {

// The numbers of a dive exactly as the export wrote them, each missing when
// its column is empty or holds no number. The whole-number fields of Dive are
// what the templates' original tags show; these keep the decimals (a depth of
// 10.97 m, a pressure of 153.08 bar) for totals, averages and exchange formats.
struct ExactValues {
  std::optional<Decimal> diveTime;  // seconds, not cut to 16 bits
  std::optional<Decimal> maxDepth;  // metres
  std::optional<Decimal> averageDepth;
  std::optional<Decimal> airTemperature;  // degrees Celsius
  std::optional<Decimal> bottomTemperature;
  std::optional<Decimal> endTemperature;
  std::optional<Decimal> tankVolume;       // litres
  std::optional<Decimal> workingPressure;  // bar
  std::optional<Decimal> startPressure;
  std::optional<Decimal> endPressure;
  std::optional<Decimal> sac;     // litres per minute
  std::optional<Decimal> weight;  // kilograms
  std::optional<Decimal> oxygen;  // percent
};

// The line break of a dive's note: what a pair of spaces in a note line
// becomes, and what stands between two note lines: "<br>", a line feed and a
// carriage return.
inline constexpr std::string_view kBreakText = "<br>\n\r";

// One dive, one line of the main CSV file. Fields in export column order;
// 16-bit fields keep the low 16 bits of the column's whole number.
struct Dive {
  std::int32_t key = 0;     // the export's key tying note and profile lines to the dive
  std::int32_t number = 0;  // dive number shown to the user; sort key
  std::string date;         // at most 10 characters
  std::string time;         // at most 5 characters
  std::int16_t series = 0;
  std::int16_t diveSeries = 0;
  std::int16_t diveTime = 0;         // seconds
  std::int32_t surfaceInterval = 0;  // seconds
  std::int16_t maxDepth = 0;         // whole metres
  std::int16_t averageDepth = 0;     // whole metres
  std::int16_t computerType = 0;
  std::string computerSerial;  // at most 10 characters
  std::string diverId;
  std::int16_t sampleInterval = 0;  // seconds between profile samples
  std::int16_t altitudeMode = 0;
  std::int16_t personalMode = 0;
  std::string location;
  std::string site;
  std::string weather;
  std::string visibility;
  std::int16_t airTemperature = 0;
  std::int16_t bottomTemperature = 0;  // water temperature at the greatest depth
  std::int16_t endTemperature = 0;     // water temperature at the end of the dive
  std::string buddy;
  std::string diveMaster;
  std::string boat;
  std::string tankName;
  std::int16_t tankVolume = 0;  // litres
  std::int16_t workingPressure = 0;
  std::int16_t startPressure = 0;
  std::int16_t endPressure = 0;
  std::int16_t sac = 0;     // litres per minute; 0 or less: no value
  std::string customTexts;  // the five custom texts joined with ", "
  std::int16_t weight = 0;
  std::int16_t oxygen = 0;  // percent; 0 and 21 both mean air
  std::int16_t computerMode = 0;
  std::string note;     // ready for HTML, lines broken by kBreakText; empty or 2 characters or more
  std::string profile;  // depth samples joined by ","
  ExactValues exact;

  bool hasProfile() const { return profile.size() >= 2; }
};

// A dive index that stands for no dive (the head and foot templates have none).
inline constexpr int NoDive = -1;

// The summary of a logbook, computed once at its import.
struct Summary {
  std::int32_t totalDiveTime = 0;    // seconds; a 32-bit sum that wraps
  std::int32_t averageDiveTime = 0;  // seconds, truncated; 0 without dives
  std::int16_t deepest = 0;          // whole metres; 0 when no dive goes below 0
  std::int32_t averageSac = 0;  // litres per minute over the dives with a SAC, truncated; 0 without
};

// A loaded logbook: its dives, sorted by number, and their summary.
struct Logbook {
  std::vector<Dive> dives;
  Summary summary;
};

}  // namespace quellmar
