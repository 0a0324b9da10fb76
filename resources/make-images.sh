#!/usr/bin/env bash
# Draws the program icon and the skin's caption-button glyphs (ImageMagick). The PNGs are
# committed; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"

# Icon: a page of text lines becoming a picture, with a green sprout (the "禾").
icon() {
    local size=$1 out=$2
    convert -size 32x32 xc:none \
        -fill '#3a78c8' -draw "roundrectangle 1,1 30,30 5,5" \
        -fill '#ffffff' -draw "rectangle 6,5 25,26" \
        -fill '#7aa6dc' -draw "rectangle 9,9 22,10" -draw "rectangle 9,13 22,14" \
        -draw "rectangle 9,17 17,18" \
        -fill '#2e9e3e' -draw "ellipse 21,20 5,3 180,360" -draw "ellipse 18,22 4,2 0,180" \
        -stroke '#2e9e3e' -strokewidth 2 -draw "line 20,26 20,19" \
        -resize "${size}x${size}" -depth 8 -define png:color-type=6 "$out"
}
icon 32 icons/tovex32.png
icon 16 icons/tovex16.png

# Caption-button glyphs, 10 x 10, dark blue on transparent.
convert -size 10x10 xc:none -stroke '#1c3f74' -strokewidth 2 \
    -draw "line 1,1 8,8" -draw "line 8,1 1,8" -depth 8 skin/close.png
convert -size 10x10 xc:none -fill '#1c3f74' -draw "rectangle 1,7 8,8" -depth 8 skin/minimize.png
convert -size 10x10 xc:none -stroke '#ffffff' -strokewidth 2 \
    -draw "line 1,1 8,8" -draw "line 8,1 1,8" -depth 8 skin/close-hover.png
# Scroll-bar arrows, 7 x 4.
convert -size 7x4 xc:none -fill '#1c3f74' -draw "polygon 0,3 6,3 3,0" -depth 8 skin/arrow-up.png
convert -size 7x4 xc:none -fill '#1c3f74' -draw "polygon 0,0 6,0 3,3" -depth 8 skin/arrow-down.png
