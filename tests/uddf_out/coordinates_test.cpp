#include "uddf_out/coordinates.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

// A text typed as a site, in Windows-1252, and the latitude and longitude
// read from it ("" for a text that is no pair of coordinates).
struct CoordinatesRow {
  const char* name;
  const char* typed;
  const char* latitude;
  const char* longitude;
};

// clang-format off
const CoordinatesRow kCoordinatesRows[] = {
    {"DecimalWithComma",      "49.792736, 15.577312",              "49.792736",  "15.577312"},
    {"DecimalWithBlank",      " -33.9249 18.4241 ",                "-33.9249",   "18.4241"},
    {"DecimalWithSemicolon",  "49.79;+15.57",                      "49.79",      "15.57"},
    {"LettersBefore",         "N49.792736 E15.577312",             "49.792736",  "15.577312"},
    {"LettersAfter",          "33.9249S, 18.4241 w",               "-33.9249",   "-18.4241"},
    {"LetterStartsTheNext",   "49.79 E15.57",                      "49.79",      "15.57"},
    {"LongitudeFirst",        "E15.57 N49.79",                     "49.79",      "15.57"},
    {"DegreesMinutes",        "N49 47.564 E015 34.639",            "49.7927333", "15.5773167"},
    {"DegreesMinutesMarked",  "49\xB0" "47.564' 15\xBA" "34.639'", "49.7927333", "15.5773167"},
    {"DegreesMinutesSeconds", "49\xB0" "47'33.8\"N 15\xB0" "34'38.3\"E",
                                                                   "49.7927222", "15.5773056"},
    {"WholeDegreesMarked",    "49\xB0N 15\xB0W",                   "49",         "-15"},
    {"OneInSeconds",          "49\xB0" "47'33.8",                  "",           ""},
    {"NoBlankAfterLetter",    "N49.79E15.57",                      "49.79",      "15.57"},
    {"PlainWholeNumbers",     "12, 15",                            "",           ""},
    {"OneNumber",             "49.79",                             "",           ""},
    {"Name",                  "Sund Rock",                         "",           ""},
    {"NameAfterCoordinates",  "49.79, 15.57 reef",                 "",           ""},
    {"LatitudeBeyond90",      "91.5, 15.5",                        "",           ""},
    {"LongitudeBeyond180",    "49.5, 180.5",                       "",           ""},
    {"MinutesBeyond59",       "N49 60.5 E15 30",                   "",           ""},
    {"BothLatitudes",         "N49.5 S15.5",                       "",           ""},
    {"SignAndLetter",         "N-49.5 E15.5",                      "",           ""},
    {"ManyWholeDigits",       "33333333333333333333.5, 15.5",      "",           ""},
    {"TooManyDecimals",       "49.1234567890, 15.5",               "",           ""},
};
// clang-format on

TEST(Coordinates, ReadsTheFormsDiversTypeAndNoNames) {
  for (const auto& row : kCoordinatesRows) {
    const auto read = ReadCoordinates(row.typed);
    EXPECT_EQ(read ? read->latitude : "", row.latitude) << row.name;
    EXPECT_EQ(read ? read->longitude : "", row.longitude) << row.name;
  }
}

}  // namespace
}  // namespace quellmar
