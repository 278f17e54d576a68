#!/usr/bin/env bash
# Photo conversion under Wine with the real decoder, files and screen: the
# bitmaps written for each variant have the sizes the arithmetic gives for
# this 1024 x 768 screen (base height truncate(768 x 0.64) = 491), their
# headers field by field, and the source's pixels: the colour blocks land in
# the right quadrants, also for a JPEG stored turned with EXIF orientation 6,
# for 16-bit BMPs, and for a GIF, PNG or BMP named .jpg.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/import-helpers.sh"
e2e_start_display 1024x768x24
import_setup
out="$E2E_TMP/photos"
mkdir -p "$out"
wout="$(import_winpath "$out")\\"
pics="$IMPORT_PICS"

# convert_ok VARIANT PICTURE SLOT W H TOLERANCE: converts, then checks the
# result, the file's headers and size, and the quadrant colours (tolerance
# "-" skips the colours).
convert_ok() {
  local v=$1 pic=$2 slot=$3 w=$4 h=$5 tol=$6 f="$out/photo$3.bmp"
  rm -f "$f"
  import_run convert "$v" "$(import_winpath "$pics/$pic")" "$slot" "$wout"
  e2e_check "$v $pic: converted without a message" \
    test "$IMPORT_CODE:$(import_value output):$(import_messages)" = "0:${wout}photo$slot.bmp:"
  e2e_check "$v $pic: photo$slot.bmp is a $w x $h 24-bit BMP" bmp_is "$f" "$w" "$h"
  if [ "$tol" != - ]; then
    e2e_check "$v $pic: colour blocks in their quadrants" quadrants_match "$f" "$tol"
  fi
}

echo "--- variant B, 1024 x 768 screen"
convert_ok B blocks.jpg 1 654 491 12          # 4:3: W = truncate(491 / 0.75)
convert_ok B blocks.bmp 2 654 491 2           # exact colours from a BMP
convert_ok B progressive.jpg 3 654 491 12
convert_ok B exif6.jpg 4 368 491 12           # upright 300 x 400: truncate(491 / 1.333...)
convert_ok B portrait.jpg 5 368 491 12        # 1200 x 1600
convert_ok B wide479.jpg 6 818 612 12         # truncate(491 x 5/3) = 818, truncate(818 x 479/640) = 612
convert_ok B tiny.jpg 7 491 491 -             # 2 x 2 is square: truncate(491 / 1), enlarged
convert_ok B UPPER.JPG 8 654 491 12
convert_ok B upper2.JPEG 9 654 491 12
convert_ok B UPPER.BMP 10 654 491 2
convert_ok B topdown.bmp 2 654 491 2          # rows stored from the top
convert_ok B rle8.bmp 7 654 491 2             # run-length coded
convert_ok B rgb565.bmp 8 654 491 12          # 16 bits a pixel: 5-6-5
convert_ok B rgb565topdown.bmp 9 654 491 12   # the same from the top (our own reader)
# Files named .jpg that are another kind, or a JPEG with stray bytes
# between its segments: each sized from its own header and decoded.
convert_ok B gif.jpg 1 654 491 12
convert_ok B png.jpg 2 654 491 2
convert_ok B bmp.jpg 3 654 491 2
convert_ok B stray.jpg 4 654 491 12
echo "photo1.bmp: rows of 1964 bytes, 964324 pixel bytes, 964378 in all"
e2e_check "654 x 491 sizes" test "$(field "$out/photo1.bmp" 34 4):$(stat -c %s "$out/photo1.bmp")" = "964324:964378"

echo "--- the largest pictures"
convert_ok B big12000.jpg 3 654 491 12        # 12000 x 9000 is decoded (below 20000 a side)
grep -h '^milliseconds' "$E2E_TMP/driver.log" | tail -n 1 | sed 's/^/  12000 x 9000 conversion /'
convert_ok B max5000.jpg 5 491 491 12         # square: truncate(491 / 1)

echo "--- variant A: a fixed basis whatever the screen"
convert_ok A blocks.jpg 1 640 480 12          # truncate(480 / 0.75)
convert_ok A exif6.jpg 2 360 480 12           # truncate(480 / 1.333...)
convert_ok A wide479.jpg 3 800 598 12         # truncate(800 x 479/640) = 598
convert_ok A blocks.bmp 4 640 480 2

echo "--- variant C sizes like B"
convert_ok C exif6.jpg 1 368 491 12
convert_ok C wide479.jpg 2 818 612 12

echo "--- an unsupported name converts to success with nothing written"
printf 'notes\r\n' >"$pics/notes.txt"
rm -f "$out/photo9.bmp"
import_run convert B "$(import_winpath "$pics/notes.txt")" 9 "$wout"
e2e_check "notes.txt: success, no output, no message" \
  test "$IMPORT_CODE:$(head -n 1 <<<"$IMPORT_OUT"):$(import_value output):$(import_messages)" = "0:success::"
e2e_check "notes.txt: nothing written" test ! -e "$out/photo9.bmp"

echo "--- the picture check accepts 2 .. 16384 pixels a side"
for pic in tiny.jpg max5000.jpg blocks.bmp exif6.jpg UPPER.JPG gif.jpg png.jpg stray.jpg rgb565.bmp; do
  import_run validate B "$(import_winpath "$pics/$pic")"
  e2e_check "$pic accepted" test "$IMPORT_CODE:$(head -n 1 <<<"$IMPORT_OUT")" = "0:accepted"
done
e2e_check "no stray files beside the bitmaps" \
  test -z "$(find "$out" -type f ! -name 'photo[0-9].bmp' ! -name 'photo10.bmp')"
e2e_finish
