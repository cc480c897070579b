#include "basic/fields.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace quellmar {
namespace {

struct SliceRow {
  const char* name;
  const char* text;
  std::int32_t start;  // MidText only
  std::int32_t count;
  const char* expected;
};

// clang-format off
const SliceRow kMidRows[] = {
    {"middle",            "abcdef", 2, 3,  "bcd"},
    {"one_short",         "abc",    2, 3,  ""},
    {"exactly_to_end",    "abc",    2, 2,  "bc"},
    {"count_zero",        "abc",    1, 0,  ""},
    {"count_negative",    "abc",    1, -1, ""},
    {"whole",             "abc",    1, 3,  "abc"},
    {"empty_text",        "",       1, 1,  ""},
    {"huge_count",        "abc",    1, 2147483647, ""},
};
const SliceRow kRightRows[] = {
    {"last_two",          "abcdef", 0, 2, "ef"},
    {"more_than_length",  "ab",     0, 3, ""},
    {"zero",              "ab",     0, 0, ""},
    {"negative",          "ab",     0, -2, ""},
    {"all",               "ab",     0, 2, "ab"},
};
// clang-format on

TEST(MidText, Table) {
  for (const auto& row : kMidRows) {
    EXPECT_EQ(MidText(row.text, row.start, row.count), row.expected) << row.name;
  }
}

TEST(RightText, Table) {
  for (const auto& row : kRightRows) {
    EXPECT_EQ(RightText(row.text, row.count), row.expected) << row.name;
  }
}

struct NumberRow {
  const char* name;
  std::string_view line;
  std::int32_t expected;
  std::string_view rest;
};

// clang-format off
const NumberRow kIntRows[] = {
    {"first_of_two",        "12,34",     12,  "34"},
    {"last_field",          "34",        34,  ""},
    {"empty_field",         ",5",        0,   "5"},
    {"empty_line",          "",          0,   ""},
    {"comma_ends_line",     "7,",        7,   ""},
    {"leading_blank",       " 7",        7,   ""},
    {"exponent",            "1E2",       100, ""},
    {"small_exponent",      "1e+2",      100, ""},
    {"negative_exponent",   "1250e-2",   12,  ""},
    {"letters",             "abc",       0,   ""},
    {"truncated_up",        "12.7",      12,  ""},
    {"truncated_negative",  "-3.9",      -3,  ""},
    {"plus_sign",           "+5",        5,   ""},
    {"dot_first",           ".5e1",      5,   ""},
    {"lone_dot",            ".",         0,   ""},
    {"lone_sign",           "-",         0,   ""},
    {"two_signs",           "--5",       0,   ""},
    {"quoted_number",       "\"12\",3",  0,   "3"},
    {"comma_inside_quotes", "\"1,2\"",   0,   "2\""},
    {"all_blank",           "   ,1",     0,   "1"},
    {"trailing_blank",      "12 ,1",     12,  "1"},
    {"unit_after",          "12m",       12,  ""},
    {"second_dot_ends",     "1.2.3",     1,   ""},
    {"exponent_without_digits", "3e",    3,   ""},
    {"infinity_word",       "inf",       0,   ""},
    {"nan_word",            "nan",       0,   ""},
    {"hex_is_not_read",     "0x10",      0,   ""},
    {"tab_is_no_blank",     "\t5",       0,   ""},
    // Whole numbers beyond 32 bits keep their low 32 bits.
    {"wraps_past_int32",    "4294967297", 1,  ""},
    {"int32_max",           "2147483647", 2147483647, ""},
    {"int32_min",           "-2147483648", -2147483647 - 1, ""},
    {"fifteen_digits",      "999999999999999", -1530494977, ""},
    {"sixteen_digits",      "9999999999999999", 1874919424, ""},
    // Read as a double, as every number is: the last digit rounds to 8.
    {"seventeen_digits",    "12345678901234567", 1567312776, ""},
    {"minus_zero",          "-0",        0,   ""},
    {"blanks_and_sign",     "  -12",     -12, ""},
    {"beyond_double",       "1e400",     -1,  ""},
    {"below_double",        "1e-400",    0,   ""},
};
const NumberRow kRoundedRows[] = {
    {"half_up",             "12.5",      13,  ""},
    {"just_below_half",     "12.49",     12,  ""},
    {"third_decimal_unseen","12.499",    12,  ""},
    {"half_of_zero",        "0.5",       1,   ""},
    {"whole",               "7",         7,   ""},
    {"fifty_hundredths",    "2.50,x",    3,   "x"},
    {"high_decimals",       "10.97",     11,  ""},
    {"low_decimals",        "10.3",      10,  ""},
    {"negative_cut",        "-12.7",     -12, ""},
    {"negative_half",       "-0.5",      0,   ""},
    {"empty",               "",          0,   ""},
    {"letters",             "deep",      0,   ""},
    {"exponent",            "1.25e1",    13,  ""},
};
// clang-format on

TEST(NextIntField, Table) {
  for (const auto& row : kIntRows) {
    std::string_view line = row.line;
    EXPECT_EQ(NextIntField(line), row.expected) << row.name;
    EXPECT_EQ(line, row.rest) << row.name;
  }
}

TEST(NextRoundedField, Table) {
  for (const auto& row : kRoundedRows) {
    std::string_view line = row.line;
    EXPECT_EQ(NextRoundedField(line), row.expected) << row.name;
    EXPECT_EQ(line, row.rest) << row.name;
  }
}

TEST(NextRoundedField, EveryHundredthOfOneMetre) {
  for (int h = 0; h < 100; ++h) {
    const std::string text = "1." + std::string(h < 10 ? "0" : "") + std::to_string(h);
    std::string_view line = text;
    EXPECT_EQ(NextRoundedField(line), h >= 50 ? 2 : 1) << text;
  }
}

// The rule written out over the general reader: decimals of up to 15 and
// more digits, with blanks, signs and every rounding case, read by both
// routines as from_chars and the documented rules read them.
TEST(Fields, DecimalsReadAsTheGeneralReaderReadsThem) {
  std::mt19937_64 random(11);
  for (int round = 0; round < 20000; ++round) {
    const int whole = static_cast<int>(random() % 9);
    const int fraction = 1 + static_cast<int>(random() % 10);
    std::string number;
    for (int k = 0; k < whole; ++k) number += static_cast<char>('0' + random() % 10);
    number += '.';
    for (int k = 0; k < fraction; ++k) number += static_cast<char>('0' + random() % 10);
    if (round % 7 == 0) number = "99.99" + number.substr(number.find('.') + 1);
    double x = 0;
    if (whole == 0) number = "0" + number;
    std::from_chars(number.data(), number.data() + number.size(), x);
    const auto wholePart = static_cast<std::int32_t>(static_cast<std::int64_t>(x));
    const bool up = std::fmod(std::trunc(x * 100.0), 100.0) > 49.0;
    const std::string prefix = round % 3 == 0 ? " " : "";
    for (const bool negative : {false, true}) {
      const std::string text = prefix + (negative ? "-" : "") + number;
      std::string_view line = text;
      EXPECT_EQ(NextIntField(line), negative ? -wholePart : wholePart) << text;
      line = text;
      EXPECT_EQ(NextRoundedField(line), negative ? -wholePart : wholePart + (up ? 1 : 0)) << text;
    }
  }
}

struct TextRow {
  const char* name;
  std::string_view line;
  std::string_view expected;  // NextTextField's result
  std::string_view rest;      // the line after NextTextField
  std::string_view skipRest;  // the line after SkipField
};

// clang-format off
const TextRow kTextRows[] = {
    {"quoted_with_comma",     "\"a,b\",c",     "a,b",   "c",     "c"},
    {"quoted_ends_line",      "\"abc\"",       "abc",   "",      ""},
    {"bare",                  "abc,def",       "abc",   "def",   "def"},
    {"bare_last",             "abc",           "abc",   "",      ""},
    {"empty_quoted",          "\"\",x",        "",      "x",     "x"},
    {"empty_line",            "",              "",      "",      ""},
    {"empty_bare",            ",x",            "",      "x",     "x"},
    {"doubled_quote_ends",    "\"a\"\"b\",c",  "a",     "b\",c",  "b\",c"},
    {"unterminated",          "\"abc",         "",      "bc",    ""},
    {"unterminated_comma",    "\"ab,c",        "",      "b,c",   "b,c"},
    {"lone_quote",            "\"",            "",      "",      ""},
    {"quote_then_one",        "\"x",           "",      "",      ""},
    {"blank_before_quote",    " \"a,b\",c",    " \"a",  "b\",c", "b\",c"},
    {"char_after_close_lost", "\"a\"xy,z",     "a",     "y,z",   "y,z"},
    {"quoted_last_no_comma",  "\"a\"b9",       "a",     "9",     ""},
    {"quote_inside_bare",     "a\"b,c",        "a\"b",  "c",     "c"},
    {"latin1_bytes",          "J\xf6rg,x",     "J\xf6rg", "x",   "x"},
    {"nul_byte",              std::string_view("a\0b,c", 5), std::string_view("a\0b", 3), "c", "c"},
};
// clang-format on

TEST(NextTextField, Table) {
  for (const auto& row : kTextRows) {
    std::string_view line = row.line;
    EXPECT_EQ(NextTextField(line), row.expected) << row.name;
    EXPECT_EQ(line, row.rest) << row.name;
  }
}

TEST(NextTextView, AgreesWithNextTextField) {
  for (const auto& row : kTextRows) {
    std::string_view line = row.line;
    EXPECT_EQ(NextTextView(line), row.expected) << row.name;
    EXPECT_EQ(line, row.rest) << row.name;
  }
}

TEST(SkipField, Table) {
  for (const auto& row : kTextRows) {
    std::string_view line = row.line;
    SkipField(line);
    EXPECT_EQ(line, row.skipRest) << row.name;
  }
}

TEST(Fields, ReadARecordInColumnOrder) {
  std::string_view line = "17,\"Dahab, Egypt\",12.5,,Canyon";
  EXPECT_EQ(NextIntField(line), 17);
  EXPECT_EQ(NextTextField(line), "Dahab, Egypt");
  EXPECT_EQ(NextRoundedField(line), 13);
  EXPECT_EQ(NextTextField(line), "");
  EXPECT_EQ(NextTextField(line), "Canyon");
  // A line that has run out reads as zeros and empty texts.
  EXPECT_EQ(NextIntField(line), 0);
  EXPECT_EQ(NextTextField(line), "");
  SkipField(line);
  EXPECT_TRUE(line.empty());
}

}  // namespace
}  // namespace quellmar
