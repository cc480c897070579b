#include "basic/decimal.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

// A field as the export writes it, and what it reads back as ("" for no number).
struct DecimalRow {
  const char* field;
  const char* text;
};

// clang-format off
const DecimalRow kRows[] = {
    {"10.97",         "10.97"},
    {"6.768",         "6.768"},
    {"9.0",           "9.0"},        // the decimals written are kept
    {"0.05",          "0.05"},
    {"-0.5",          "-0.5"},
    {"+3",            "3"},
    {"  21",          "21"},
    {"12m",           "12"},         // what follows the number is not read
    {"12.",           "12"},
    {"007.50",        "7.50"},
    {"",              ""},
    {"abc",           ""},
    {"\"12\"",        ""},           // a quoted number is no number
    {".5",            ""},
    {"2147483647",    "2147483647"},
    {"2147483648",    ""},           // a whole part beyond 32 bits
    {"214748.36479",  "214748.3647"},  // decimals beyond 32 bits are cut
    {"1.12345678912", "1.123456789"},
};
// clang-format on

TEST(Decimal, ReadsAndWritesBackTheExportsDigits) {
  for (const auto& row : kRows) {
    const auto number = Decimal::Parse(row.field);
    EXPECT_EQ(number ? number->text() : "", row.text) << row.field;
  }
}

TEST(Decimal, ValueIsTheWrittenNumber) {
  EXPECT_DOUBLE_EQ(Decimal::Parse("10.97")->value(), 10.97);
  EXPECT_DOUBLE_EQ(Decimal::Parse("-0.25")->value(), -0.25);
}

}  // namespace
}  // namespace quellmar
