#!/bin/sh
# Draws the about dialog's picture (200 x 200): sea water getting darker with
# depth, the surface, a dive profile over the sandy bottom, a diver and his
# bubbles. Run it here to make about.jpg again (needs ImageMagick's convert).
set -eu
cd "$(dirname "$0")"
convert -size 200x200 gradient:'#7fd3f0'-'#08306b' \
  -fill '#cfefff' -stroke none -draw 'rectangle 0,0 199,18' \
  -fill none -stroke '#ffffff' -strokewidth 3 \
  -draw 'path "M 0,20 Q 25,12 50,20 T 100,20 T 150,20 T 200,20"' \
  -fill '#c9a66b' -stroke '#8a6a3a' -strokewidth 1 \
  -draw 'path "M 0,199 L 0,182 Q 40,172 80,184 T 160,178 L 199,186 L 199,199 Z"' \
  -fill 'rgba(255,210,60,0.30)' -stroke none \
  -draw 'polygon 14,22 44,120 96,128 124,92 150,96 176,40 188,22' \
  -fill none -stroke '#ffd23c' -strokewidth 3 \
  -draw 'line 14,24 44,120' -draw 'line 44,120 96,128' -draw 'line 96,128 124,92' -draw 'line 124,92 150,96' -draw 'line 150,96 176,40' -draw 'line 176,40 188,24' \
  -fill '#ffd23c' -stroke none \
  -draw 'circle 14,24 17,24' -draw 'circle 44,120 47,120' -draw 'circle 96,128 99,128' \
  -draw 'circle 124,92 127,92' -draw 'circle 150,96 153,96' -draw 'circle 176,40 179,40' \
  -fill '#101820' -stroke none \
  -draw 'ellipse 92,150 26,8 0,360' \
  -draw 'circle 122,146 129,146' \
  -draw 'polygon 66,146 44,136 48,152 66,154' \
  -draw 'polygon 66,152 42,160 48,166 68,157' \
  -draw 'rectangle 80,138 104,143' \
  -fill '#ffd23c' -draw 'rectangle 124,141 131,147' \
  -fill none -stroke '#e8f8ff' -strokewidth 2 \
  -draw 'circle 132,128 136,128' -draw 'circle 138,110 141,110' \
  -draw 'circle 134,92 136,92' -draw 'circle 140,76 142,76' -draw 'circle 137,62 138,62' \
  -quality 90 -strip about.jpg
