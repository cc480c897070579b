// Sorting the dives by dive number. The order of dives with equal numbers is
// the one this quicksort leaves, and the logbook pages show it, so the steps
// are fixed.
#pragma once

#include <cstdint>
#include <vector>

#include "model/logbook.h"

namespace quellmar {

// Sorts dives[lo..hi] (inclusive) ascending by number.
void SortDives(std::vector<Dive>& dives, std::int32_t lo, std::int32_t hi);

}  // namespace quellmar
