#include "model/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace quellmar {
namespace {

// The quicksort written out once more, step by step and plainly recursive,
// on bare (number, tag) pairs: the order of equal numbers must match.
using Key = std::pair<std::int32_t, std::int32_t>;

void ReferenceSort(std::vector<Key>& keys, std::int32_t lo, std::int32_t hi) {
  if (lo >= hi) return;
  std::int32_t i = lo;
  std::int32_t j = hi;
  const std::int32_t pivot = keys[static_cast<std::size_t>((lo + hi) / 2)].first;
  do {
    while (keys[static_cast<std::size_t>(i)].first < pivot) i = i + 1;
    while (keys[static_cast<std::size_t>(j)].first > pivot) j = j - 1;
    if (i <= j) {
      std::swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
      i = i + 1;
      j = j - 1;
    }
  } while (!(i > j));
  if (lo < j) ReferenceSort(keys, lo, j);
  if (i < hi) ReferenceSort(keys, i, hi);
}

std::vector<Dive> Dives(const std::vector<std::int32_t>& numbers) {
  std::vector<Dive> dives(numbers.size());
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    dives[i].number = numbers[i];
    dives[i].key = static_cast<std::int32_t>(i);  // the tag that tells equal numbers apart
    dives[i].site = "site " + std::to_string(i);
  }
  return dives;
}

std::vector<std::int32_t> Numbers(const std::vector<Dive>& dives) {
  std::vector<std::int32_t> numbers;
  for (const auto& dive : dives) numbers.push_back(dive.number);
  return numbers;
}

TEST(SortDives, SortsAscending) {
  auto dives = Dives({5, 3, 9, 1});
  SortDives(dives, 0, 3);
  EXPECT_EQ(Numbers(dives), (std::vector<std::int32_t>{1, 3, 5, 9}));
}

TEST(SortDives, WholeRecordsMove) {
  auto dives = Dives({12, 3, 7});
  SortDives(dives, 0, 2);
  EXPECT_EQ(Numbers(dives), (std::vector<std::int32_t>{3, 7, 12}));
  EXPECT_EQ(dives[0].site, "site 1");
  EXPECT_EQ(dives[1].site, "site 2");
  EXPECT_EQ(dives[2].site, "site 0");
}

TEST(SortDives, SingleOrEmptyRangeChangesNothing) {
  auto dives = Dives({4, 2});
  SortDives(dives, 0, 0);
  SortDives(dives, 1, 1);
  SortDives(dives, 0, -1);
  SortDives(dives, 1, 0);
  EXPECT_EQ(Numbers(dives), (std::vector<std::int32_t>{4, 2}));
}

TEST(SortDives, SortsOnlyItsRange) {
  auto dives = Dives({9, 8, 7, 6, 5});
  SortDives(dives, 1, 3);
  EXPECT_EQ(Numbers(dives), (std::vector<std::int32_t>{9, 6, 7, 8, 5}));
}

TEST(SortDives, ExtremeKeysCompareAsSigned) {
  auto dives = Dives({2147483647, -2147483647 - 1, 0, -1});
  SortDives(dives, 0, 3);
  EXPECT_EQ(Numbers(dives), (std::vector<std::int32_t>{-2147483647 - 1, -1, 0, 2147483647}));
}

TEST(SortDives, EqualNumbersInTheQuicksortsOrder) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 300; ++round) {
    const int size = static_cast<int>(random() % 60);
    const int range = 1 + static_cast<int>(random() % 8);  // few values: many equal numbers
    std::vector<std::int32_t> numbers;
    for (int i = 0; i < size; ++i) numbers.push_back(static_cast<std::int32_t>(random() % range));
    auto dives = Dives(numbers);
    std::vector<Key> expected;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      expected.emplace_back(numbers[i], static_cast<std::int32_t>(i));
    }
    ReferenceSort(expected, 0, size - 1);
    SortDives(dives, 0, size - 1);
    std::vector<Key> actual;
    for (const auto& dive : dives) actual.emplace_back(dive.number, dive.key);
    ASSERT_EQ(actual, expected) << "round " << round;
  }
}

// A part of the dives sorted on its own: the same order of equal numbers
// inside it, and nothing outside it moves.
TEST(SortDives, EqualNumbersInTheQuicksortsOrderWithinARange) {
  std::mt19937 random(77);
  for (int round = 0; round < 300; ++round) {
    const int size = 1 + static_cast<int>(random() % 60);
    const auto lo = static_cast<std::int32_t>(random() % static_cast<unsigned>(size));
    const auto hi = lo + static_cast<std::int32_t>(random() % static_cast<unsigned>(size - lo));
    std::vector<std::int32_t> numbers;
    for (int i = 0; i < size; ++i) numbers.push_back(static_cast<std::int32_t>(random() % 4));
    auto dives = Dives(numbers);
    std::vector<Key> expected;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      expected.emplace_back(numbers[i], static_cast<std::int32_t>(i));
    }
    ReferenceSort(expected, lo, hi);
    SortDives(dives, lo, hi);
    std::vector<Key> actual;
    for (const auto& dive : dives) actual.emplace_back(dive.number, dive.key);
    ASSERT_EQ(actual, expected) << "round " << round;
    for (std::size_t i = 0; i < dives.size(); ++i) {
      ASSERT_EQ(dives[i].site, "site " + std::to_string(dives[i].key)) << "round " << round;
    }
  }
}

TEST(SortDives, SortedAndReversedInputsOfManyDives) {
  // Inputs that make a careless quicksort recurse deeply; the stack must hold.
  std::vector<std::int32_t> numbers(20000);
  for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = static_cast<std::int32_t>(i % 300);
  for (const bool reversed : {false, true}) {
    auto input = numbers;
    if (reversed) std::reverse(input.begin(), input.end());
    auto dives = Dives(input);
    SortDives(dives, 0, static_cast<std::int32_t>(dives.size()) - 1);
    for (std::size_t i = 1; i < dives.size(); ++i) {
      ASSERT_LE(dives[i - 1].number, dives[i].number) << i;
    }
  }
}

}  // namespace
}  // namespace quellmar
