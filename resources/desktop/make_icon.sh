#!/bin/sh
# Draws the application icon (64 x 64): a dive profile under the sea surface
# on a rounded blue tile. Run it here to make quellmar.png again (needs
# ImageMagick's convert).
set -eu
cd "$(dirname "$0")"
convert -size 64x64 xc:none \
  -fill '#0b4f8a' -stroke '#06284a' -strokewidth 2 -draw 'roundrectangle 1,1 62,62 10,10' \
  -fill '#1f8fd0' -stroke none -draw 'roundrectangle 3,3 60,20 8,8' \
  -fill none -stroke '#ffffff' -strokewidth 3 -draw 'path "M 4,18 Q 12,13 20,18 T 36,18 T 52,18 T 60,18"' \
  -stroke '#ffd23c' -strokewidth 4 \
  -draw 'line 10,22 20,48' -draw 'line 20,48 36,50' -draw 'line 36,50 44,38' -draw 'line 44,38 54,22' \
  -depth 8 -strip quellmar.png
# The Windows program's icon, in the sizes Windows shows.
convert quellmar.png -define icon:auto-resize=64,48,32,16 quellmar.ico
