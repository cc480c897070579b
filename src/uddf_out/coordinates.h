// Coordinates that a diver typed as a dive site or location, read so that
// UDDF can carry them as numbers and a logbook can put the site on a map.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellmar {

// Decimal degrees as UDDF writes them, north and east positive.
struct Coordinates {
  std::string latitude;
  std::string longitude;
};

// The coordinates when the whole text is a pair of them, latitude first
// unless its letters say otherwise: decimal degrees ("49.792736, 15.577312",
// "-33.9 18.4"), with hemisphere letters before or after ("N49.79 E15.57",
// "33.9S 18.4E"), degrees and minutes ("N49 47.564 E15 34.639",
// "49°47.564' 15°34.639'") or degrees, minutes and seconds
// ("49°47'33.8\"N 15°34'38.3\"E"). The text is in Windows-1252, the export's
// code page, where the degree sign is one byte. Plain whole numbers
// ("12, 15") are taken for a name, not a place.
std::optional<Coordinates> ReadCoordinates(std::string_view windows1252);

}  // namespace quellmar
