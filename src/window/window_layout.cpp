#include "window/window_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quellmar {

double StatusBarPoints(Extent creditPanel, double scale,
                       const std::function<Extent(double points)>& textSize) {
  const Extent room{creditPanel.width - static_cast<int>(std::lround(kPanelTextMargin * scale)),
                    creditPanel.height};
  return FitCaption(room, room, 8.0, textSize).points;
}

Extent CaptionRoom(const ControlLayout& control, Extent laidOut, double scale) {
  const auto scaled = [scale](int pixels) { return static_cast<int>(std::lround(pixels * scale)); };
  const Extent room = control.room;
  return {
      room.width > 0 ? scaled(room.width) : laidOut.width,
      room.height > 0 ? scaled(room.height) : (control.place.width < 0 ? INT_MAX : laidOut.height)};
}

const ControlLayout& FindControl(std::span<const ControlLayout> controls, ControlRole role) {
  return *std::ranges::find(controls, role, &ControlLayout::role);
}

Place PlaceInWindow(std::span<const ControlLayout> controls, const ControlLayout& control) {
  Place place = control.place;
  if (control.in) {
    const Place outer = PlaceInWindow(controls, FindControl(controls, *control.in));
    place.left += outer.left;
    place.top += outer.top;
  }
  return place;
}

}  // namespace quellmar
