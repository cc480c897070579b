#include "model/sort.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace quellmar {
namespace {

// A dive's number and where the dive stood before the sort.
struct SortEntry {
  std::int32_t number;
  std::int32_t from;
};

// Hoare's quicksort with the middle element as pivot. The two halves are
// disjoint, so sorting the smaller one by recursion and the larger one in the
// loop gives the same order as sorting them left then right, with a stack
// depth of log n whatever the input.
void SortEntries(std::vector<SortEntry>& entries, std::int32_t lo, std::int32_t hi) {
  while (lo < hi) {
    std::int32_t i = lo;
    std::int32_t j = hi;
    // The middle index in 64 bits: lo + hi may pass the 32-bit range.
    const auto middle = (std::int64_t{lo} + hi) / 2;
    const std::int32_t pivot = entries[static_cast<std::size_t>(middle)].number;
    do {
      while (entries[static_cast<std::size_t>(i)].number < pivot) ++i;
      while (entries[static_cast<std::size_t>(j)].number > pivot) --j;
      if (i <= j) {
        std::swap(entries[static_cast<std::size_t>(i)], entries[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) SortEntries(entries, lo, j);
      lo = i;
    } else {
      if (i < hi) SortEntries(entries, i, hi);
      hi = j;
    }
  }
}

}  // namespace

// The quicksort runs on small (number, position) entries, which take the very
// steps it would take on the dives, as it looks at nothing but the numbers;
// each dive then moves once to its place. The entries are numbered from 0,
// and the middle of 0..hi-lo is the middle of lo..hi less lo, so every pivot
// is the same.
void SortDives(std::vector<Dive>& dives, std::int32_t lo, std::int32_t hi) {
  if (lo >= hi) return;
  const auto first = static_cast<std::size_t>(lo);
  const auto count = static_cast<std::size_t>(hi - lo) + 1;
  std::vector<SortEntry> entries(count);
  for (std::size_t k = 0; k < count; ++k) {
    entries[k] = {dives[first + k].number, static_cast<std::int32_t>(first + k)};
  }
  SortEntries(entries, 0, hi - lo);

  std::vector<Dive> sorted;
  sorted.reserve(count);
  for (const SortEntry& entry : entries) {
    sorted.push_back(std::move(dives[static_cast<std::size_t>(entry.from)]));
  }
  if (count == dives.size()) {
    dives.swap(sorted);
  } else {
    std::move(sorted.begin(), sorted.end(), dives.begin() + static_cast<std::ptrdiff_t>(first));
  }
}

}  // namespace quellmar
