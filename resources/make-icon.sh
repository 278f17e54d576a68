#!/usr/bin/env bash
# Draws the application icon, resources/quorvelk.ico (resource 128 of the
# programs, also the installer's): two photo prints on a dusk-blue tile, the
# front one an evening landscape. Drawn once large and scaled down to 256,
# 48, 32 and 16 pixels; the small sizes leave out the back print and get a
# thicker border so they stay readable. Needs ImageMagick.
# Usage: resources/make-icon.sh [OUT.ico]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out=${1:-$here/quorvelk.ico}
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
S=1024

# The tile: rounded square, dusk gradient, a faint glow low in the middle.
convert -size ${S}x${S} gradient:'#27508f'-'#0c1630' \
  \( -size ${S}x${S} xc:black -fill white -draw "roundrectangle 24,24 999,999 190,190" \) \
  -alpha off -compose CopyOpacity -composite "$t/tile.png"

# print W H BORDER OUT: the evening landscape on a white print with a shadow.
print() {
  local w=$1 h=$2 b=$3 iw=$(($1 - 2 * $3)) ih=$(($2 - 2 * $3))
  convert -size ${iw}x${ih} gradient:'#ffcf73'-'#ff6f61' \
    -fill '#fff4d2' -draw "circle $((iw * 62 / 100)),$((ih * 46 / 100)) $((iw * 62 / 100 + ih / 7)),$((ih * 46 / 100))" \
    -fill '#3e9a6e' -draw "ellipse $((iw * 25 / 100)),$((ih * 112 / 100)) $((iw * 70 / 100)),$((ih * 50 / 100)) 180,360" \
    -fill '#26714f' -draw "ellipse $((iw * 90 / 100)),$((ih * 120 / 100)) $((iw * 60 / 100)),$((ih * 52 / 100)) 180,360" \
    "$t/photo.png"
  convert -size ${w}x${h} xc:'#fbfbf7' "$t/photo.png" -geometry +$b+$b -composite \
    -bordercolor none -border 40 \
    \( +clone -background black -shadow 60x18+0+14 \) +swap -background none -layers merge +repage "$4"
}

# The back print (plain, cool) and the front one, turned against each other.
convert -size 560x430 xc:'#fbfbf7' \( -size 500x370 gradient:'#8fd0e8'-'#3b7fa8' \) -geometry +30+30 -composite \
  -bordercolor none -border 40 \( +clone -background black -shadow 50x16+0+12 \) +swap \
  -background none -layers merge +repage -background none -rotate -14 "$t/back.png"
print 640 490 34 "$t/front.png"
convert "$t/front.png" -background none -rotate 7 "$t/front-r.png"
convert "$t/tile.png" "$t/back.png" -gravity center -geometry -60-90 -composite \
  "$t/front-r.png" -gravity center -geometry +40+70 -composite "$t/large.png"

# Small sizes: the front print alone, larger on the tile, with a bolder border.
print 760 580 70 "$t/small-print.png"
convert "$t/small-print.png" -background none -rotate 6 "$t/small-r.png"
convert "$t/tile.png" "$t/small-r.png" -gravity center -geometry +0+10 -composite "$t/small.png"

convert "$t/large.png" -filter Lanczos -resize 256x256 -depth 8 "$t/256.png"
convert "$t/large.png" -filter Lanczos -resize 48x48 -unsharp 0x0.6 "$t/48.png"
convert "$t/small.png" -filter Lanczos -resize 32x32 -unsharp 0x0.6 "$t/32.png"
convert "$t/small.png" -filter Lanczos -resize 16x16 -unsharp 0x0.8 "$t/16.png"
convert "$t/16.png" "$t/32.png" "$t/48.png" "$t/256.png" -depth 8 "$out"
echo "wrote $out"
