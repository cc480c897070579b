#!/bin/sh
# Pictures of the about dialog under each font family, and at twice the scale,
# taken from the real widget on Qt's offscreen platform into docs/. Needs a
# release build (cmake --preset release && cmake --build --preset release).
set -eu
cd "$(dirname "$0")/.."
shot=build/release/test-bin/quellmar_about_screenshot
for family in dejavu liberation; do
  ./scripts/with-fonts.sh "$family" "$shot" "docs/about-$family.png"
done
QT_SCALE_FACTOR=2 "$shot" docs/about-scale2.png
