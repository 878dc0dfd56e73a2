#!/bin/sh
# Draws Packwright's icon (a parcel on a railway track) with ImageMagick and
# writes res/packwright.ico with 16x16, 32x32 and 48x48 images. The shapes
# are drawn once at 192x192 and scaled down, so every size is the same
# picture.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 192x192 xc:none \
  -fill '#1d4f7c' -draw 'roundrectangle 4,4 187,187 36,36' \
  -stroke '#6b4a2b' -strokewidth 12 \
  -draw 'line 40,170 152,170' -draw 'line 52,138 140,138' -draw 'line 62,110 130,110' \
  -stroke '#d8dde3' -strokewidth 10 \
  -draw 'line 48,186 84,92' -draw 'line 144,186 108,92' \
  -stroke '#5a3a12' -strokewidth 6 -fill '#e0a84a' \
  -draw 'polygon 96,12 156,40 96,68 36,40' \
  -fill '#c98a2c' -draw 'polygon 36,40 96,68 96,100 36,72' \
  -fill '#a86e1c' -draw 'polygon 156,40 96,68 96,100 156,72' \
  "$work/big.png"

for size in 16 32 48; do
  convert "$work/big.png" -filter Lanczos -resize ${size}x${size} \
    -define png:color-type=6 "$work/icon$size.png"
done
convert "$work/icon16.png" "$work/icon32.png" "$work/icon48.png" packwright.ico
