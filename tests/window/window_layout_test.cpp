// The status bar's one font, with a credit ten pixels wide a point.
#include "window/window_layout.h"

#include <gtest/gtest.h>

namespace quellmar {
namespace {

struct StatusFontRow {
  const char* name;
  int panelWidth;
  double scale;
  double points;
};

// clang-format off
const StatusFontRow kStatusFontRows[] = {
  {"FitsAtEightPoints",       90, 1.0, 8.0},
  {"StepsDownHalfAPoint",     80, 1.0, 7.0},
  {"MarginGrowsWithTheScale", 86, 2.0, 7.0},
  {"NeverBelowSixPoints",     10, 1.0, 6.0},
};
// clang-format on

TEST(StatusBarPoints, CreditFitsItsPanelInsideItsMargin) {
  for (const StatusFontRow& row : kStatusFontRows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(StatusBarPoints({row.panelWidth, 19}, row.scale,
                              [](double points) {
                                return Extent{static_cast<int>(10 * points), 10};
                              }),
              row.points);
  }
}

}  // namespace
}  // namespace quellmar
