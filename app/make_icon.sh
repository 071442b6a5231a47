#!/bin/sh
# Draws the program's icon, app/vl4.ico (16, 32 and 48 pixels), with ImageMagick. The icon is kept
# in the tree; run this only to change it.
set -e
cd "$(dirname "$0")"
tmp=$(mktemp -d)
for s in 16 32 48; do
  convert -size ${s}x${s} xc:none -fill '#1F4E99' \
    -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $((s / 6)),$((s / 6))" \
    -fill white -font DejaVu-Sans-Bold -pointsize $((s * 11 / 20)) -gravity center \
    -annotate +0+0 'V4' "png32:$tmp/$s.png"
done
convert "$tmp/16.png" "$tmp/32.png" "$tmp/48.png" vl4.ico
rm -rf "$tmp"
