// How far a caption may make its control grow, and the status bar's one font.
#include "window/window_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

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
};
// clang-format on

// A credit ten pixels wide a point.
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

struct RoomRow {
  const char* name;
  Place place;
  Extent room;  // in the table
  Extent most;  // in a window at 150 %, of a control laid out 100 by 20
};

// clang-format off
const RoomRow kRoomRows[] = {
  {"KeepsItsSizeWithoutRoom",  {0, 0, 100, 20}, {},       {100, 20}},
  {"RoomAtTheWindowsScale",    {0, 0, 100, 20}, {150, 0}, {225, 20}},
  {"AsLargeAsItsCaptionGrows", {0, 0, -1, 0},   {150, 0}, {225, INT_MAX}},
};
// clang-format on

TEST(CaptionRoom, TheTablesRoomElseTheLaidOutSize) {
  for (const RoomRow& row : kRoomRows) {
    SCOPED_TRACE(row.name);
    const ControlLayout control{
        .role = {}, .kind = {}, .name = row.name, .place = row.place, .room = row.room};
    const Extent most = CaptionRoom(control, {100, 20}, 1.5);
    EXPECT_EQ(std::pair(most.width, most.height), std::pair(row.most.width, row.most.height));
  }
}

}  // namespace
}  // namespace quellmar
