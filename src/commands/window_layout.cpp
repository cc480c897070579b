#include "commands/window_layout.h"

#include <algorithm>

namespace quellmar {

const ControlLayout& FindControl(std::span<const ControlLayout> controls, ControlRole role) {
  return *std::find_if(controls.begin(), controls.end(),
                       [role](const ControlLayout& control) { return control.role == role; });
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
