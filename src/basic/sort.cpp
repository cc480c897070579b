#include "basic/sort.h"

#include <utility>

namespace quellmar {

// Hoare's quicksort with the middle element as pivot. The two halves are
// disjoint, so sorting the smaller one by recursion and the larger one in the
// loop gives the same order as sorting them left then right, with a stack
// depth of log n whatever the input.
void SortDives(std::vector<Suunto>& dives, std::int32_t lo, std::int32_t hi) {
  while (lo < hi) {
    std::int32_t i = lo;
    std::int32_t j = hi;
    // The middle index in 64 bits: lo + hi may pass the 32-bit range.
    const auto middle = (std::int64_t{lo} + hi) / 2;
    const std::int32_t pivot = dives[static_cast<std::size_t>(middle)].diveno;
    do {
      while (dives[static_cast<std::size_t>(i)].diveno < pivot) ++i;
      while (dives[static_cast<std::size_t>(j)].diveno > pivot) --j;
      if (i <= j) {
        std::swap(dives[static_cast<std::size_t>(i)], dives[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) SortDives(dives, lo, j);
      lo = i;
    } else {
      if (i < hi) SortDives(dives, i, hi);
      hi = j;
    }
  }
}

}  // namespace quellmar
