#include "basic/text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quellmar {
namespace {

struct TextRow {
  std::int32_t value;
  const char* expected;
};

// clang-format off
const TextRow kIntRows[] = {
    {0, "0"}, {7, "7"}, {-7, "-7"}, {1000000, "1000000"},
    {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"},
};
const TextRow kMinuteRows[] = {
    {0, "0 min"}, {30, "0 min"}, {31, "1 min"}, {59, "1 min"}, {60, "1 min"},
    {61, "1 min"}, {90, "1 min"}, {91, "2 min"}, {3600, "60 min"}, {-45, "0 min"},
    {-3600, "0 min"}, {2147483647, "35791394 min"},
};
const TextRow kMinuteClockRows[] = {
    {0, "0:00"}, {9, "0:09"}, {646, "10:46"}, {3301, "55:01"}, {6000, "100:00"},
};
const TextRow kClockRows[] = {
    {0, "00:00:00"}, {5, "00:00:05"}, {59, "00:00:59"}, {60, "00:01:00"},
    {3599, "00:59:59"}, {3600, "01:00:00"}, {3660, "01:01:00"}, {3661, "01:01:01"},
    {3925, "01:05:25"}, {1962, "00:32:42"}, {36000, "10:00:00"}, {360000, "100:00:00"},
    // Negative counts never reach the hour or minute part.
    {-5, "00:00:-5"}, {-75, "00:00:-75"},
};
// clang-format on

TEST(IntText, Table) {
  for (const auto& row : kIntRows) EXPECT_EQ(IntText(row.value), row.expected) << row.value;
}

TEST(SecondsToMinutesText, Table) {
  for (const auto& row : kMinuteRows) {
    EXPECT_EQ(SecondsToMinutesText(row.value), row.expected) << row.value;
  }
}

TEST(SecondsToMinutesAndSecondsText, Table) {
  for (const auto& row : kMinuteClockRows)
    EXPECT_EQ(SecondsToMinutesAndSecondsText(row.value), row.expected) << row.value;
}

TEST(SecondsToClockText, Table) {
  for (const auto& row : kClockRows) {
    EXPECT_EQ(SecondsToClockText(row.value), row.expected) << row.value;
  }
}

}  // namespace
}  // namespace quellmar
