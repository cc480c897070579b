// The rule both windows fit their captions and paths by, with a face whose
// every character is a fixed number of pixels wide at a size.
#include "window/caption_fit.h"

#include <gtest/gtest.h>

#include <string>

namespace quellmar {
namespace {

// A caption of `letters` characters, each as wide as its font's points, one
// line as high as twice the points.
Extent Caption(int letters, double points) {
  return {static_cast<int>(letters * points), static_cast<int>(2 * points)};
}

struct FitRow {
  const char* name;
  int letters;
  Extent laidOut;
  Extent most;
  Extent size;
  double points;
};

// clang-format off
const FitRow kFitRows[] = {
  {"FitsAsLaidOut",           10, {100, 20}, {150, 20}, {100, 20}, 8.0},
  {"LaidOutLargerThanRoom",   10, {200, 20}, {150, 20}, {150, 20}, 8.0},
  {"GrowsIntoItsRoom",        15, {100, 20}, {150, 20}, {120, 20}, 8.0},
  {"FontStepsDownHalfAPoint", 20, {100, 20}, {150, 20}, {150, 20}, 7.5},
  {"NeverBelowSixPoints",     40, {100, 20}, {150, 20}, {150, 20}, 6.0},
};
// clang-format on

TEST(FitCaption, GrowsThenStepsTheFontDown) {
  for (const FitRow& row : kFitRows) {
    SCOPED_TRACE(row.name);
    const CaptionFit fit = FitCaption(row.laidOut, row.most, 8.0,
                                      [&](double points) { return Caption(row.letters, points); });
    EXPECT_EQ(fit.size.width, row.size.width);
    EXPECT_EQ(fit.size.height, row.size.height);
    EXPECT_EQ(fit.points, row.points);
  }
}

struct ElideRow {
  const char* name;
  const char* text;
  int room;
  const char* shown;
};

// clang-format off
const ElideRow kElideRows[] = {
  {"FitsWhole",           "C:\\Dives\\log.csv",       16, "C:\\Dives\\log.csv"},
  {"MiddleGivesWay",      "C:\\Dives\\2024\\log.csv", 12, "C:\\Div\u2026g.csv"},
  {"LettersStayWhole",    "D:\\\u0141\u00F3d\u017A\\\u03B1\u03B2\u03B3.csv", 11,
                          "D:\\\u0141\u00F3\u2026\u03B3.csv"},
  {"NoRoomLeavesTheMark", "C:\\Dives\\log.csv",       0,  "\u2026"},
};
// clang-format on

// Every character one pixel wide, the mark too.
int Characters(const std::string& text) {
  int count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

TEST(ElideMiddle, KeepsTheStartAndTheEnd) {
  for (const ElideRow& row : kElideRows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ElideMiddle(row.text, row.room, Characters), row.shown);
  }
}

}  // namespace
}  // namespace quellmar
