#!/usr/bin/env bash
# Test pictures for the import tests, made reproducibly with ImageMagick and a
# few byte patches. Source this file and call qv_make_pictures FOLDER, or run
# it with the folder as its argument. Made once per folder (a stamp file).
#
# The colour-block pictures have four quadrants of known colour so a test can
# check a converted photo's pixels at the quadrant centres:
#   top left QV_TL, top right QV_TR, bottom left QV_BL, bottom right QV_BR.
QV_TL="200 40 40"
QV_TR="40 160 60"
QV_BL="50 70 200"
QV_BR="230 210 40"
QV_PICTURES_VERSION=6

_qv_rgb() { local r g b; read -r r g b <<<"$1"; printf 'rgb(%d,%d,%d)' "$r" "$g" "$b"; }

# Four quadrants of the given size into any format ImageMagick writes.
_qv_blocks() {  # width height out [convert options...]
  local w=$1 h=$2 out=$3; shift 3
  local hw=$((w / 2)) hh=$((h / 2))
  convert -size "${w}x${h}" xc:"$(_qv_rgb "$QV_BR")" \
    -fill "$(_qv_rgb "$QV_TL")" -draw "rectangle 0,0 $((hw - 1)),$((hh - 1))" \
    -fill "$(_qv_rgb "$QV_TR")" -draw "rectangle $hw,0 $((w - 1)),$((hh - 1))" \
    -fill "$(_qv_rgb "$QV_BL")" -draw "rectangle 0,$hh $((hw - 1)),$((h - 1))" \
    "$@" "$out"
}

_qv_jpeg() { _qv_blocks "$1" "$2" "$3" -quality 95 -sampling-factor 1x1 "${@:4}"; }
_qv_bmp() { _qv_blocks "$1" "$2" "BMP3:$3" -type truecolor; }

# Byte offset of the first baseline or progressive frame header (FF C0 / FF C2).
_qv_sof_offset() {
  LC_ALL=C grep -obUaP '\xff[\xc0\xc2]' "$1" | head -n 1 | cut -d: -f1
}

# Overwrites the height and width that a JPEG's frame header claims.
_qv_patch_sof() {  # file height width
  local at
  at=$(_qv_sof_offset "$1")
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($2 >> 8)) $(($2 & 255)) $(($3 >> 8)) $(($3 & 255)))" |
    dd of="$1" bs=1 seek=$((at + 5)) conv=notrunc status=none
}

# A JPEG stored turned a quarter to the left, with EXIF orientation 6 ("the
# stored picture must be turned a quarter to the right to stand upright").
# Upright it is the 300 x 400 portrait of colour blocks.
_qv_exif6() {  # out
  local tmp=$1.tmp.jpg
  _qv_jpeg 300 400 "$tmp" -rotate -90
  {
    head -c 2 "$tmp"
    # APP1, length 34: "Exif\0\0", little-endian TIFF header, one IFD entry
    # 0x0112 (orientation) SHORT x1 = 6, no next IFD.
    printf '\xff\xe1\x00\x22Exif\x00\x00II\x2a\x00\x08\x00\x00\x00'
    printf '\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00'
    tail -c +3 "$tmp"
  } >"$1"
  rm -f "$tmp"
}

qv_make_pictures() {  # folder
  local d=$1
  [ -f "$d/.made-v$QV_PICTURES_VERSION" ] && return 0
  mkdir -p "$d"
  # Good pictures.
  _qv_jpeg 640 480 "$d/blocks.jpg"
  _qv_jpeg 640 480 "$d/progressive.jpg" -interlace JPEG
  _qv_bmp 640 480 "$d/blocks.bmp"
  _qv_jpeg 1200 1600 "$d/portrait.jpg"
  _qv_jpeg 640 479 "$d/wide479.jpg"
  _qv_exif6 "$d/exif6.jpg"
  _qv_jpeg 2 2 "$d/tiny.jpg"
  _qv_jpeg 5000 5000 "$d/max5000.jpg" -quality 80
  # The same blocks as a BMP stored from the top row down (negative height)
  # and as a run-length coded 8-bit BMP.
  convert "$d/blocks.bmp" -flip -type truecolor "BMP3:$d/topdown.bmp"
  printf '\x20\xfe\xff\xff' | dd of="$d/topdown.bmp" bs=1 seek=22 conv=notrunc status=none  # -480
  convert "$d/blocks.bmp" -colors 8 -type palette -compress RLE "BMP3:$d/rle8.bmp"
  # 16 bits a pixel (5-6-5 bit fields), also stored from the top row down.
  _qv_blocks 640 480 "BMP:$d/rgb565.bmp" -type truecolor -define bmp:subtype=RGB565
  _qv_blocks 640 480 "BMP:$d/rgb565topdown.bmp" -flip -type truecolor -define bmp:subtype=RGB565
  printf '\x20\xfe\xff\xff' | dd of="$d/rgb565topdown.bmp" bs=1 seek=22 conv=notrunc status=none  # -480
  # Files named .jpg that the platform's decoder takes all the same: a GIF,
  # a PNG and a BMP; a JPEG with stray bytes (an escaped 0xFF among them)
  # and fill bytes after its JFIF segment; a JPEG whose frame header leaves
  # the height to a DNL segment after the scan.
  _qv_blocks 640 480 "GIF:$d/gif.jpg"
  _qv_blocks 640 480 "PNG24:$d/png.jpg"
  cp "$d/blocks.bmp" "$d/bmp.jpg"
  { head -c 20 "$d/blocks.jpg"; printf '\x12\xff\x00\x34\xff\xff\xff'; tail -c +21 "$d/blocks.jpg"; } >"$d/stray.jpg"
  cp "$d/blocks.jpg" "$d/dnl.jpg"
  _qv_patch_sof "$d/dnl.jpg" 0 640
  { head -c -2 "$d/dnl.jpg"; printf '\xff\xdc\x00\x04\x01\xe0\xff\xd9'; } >"$d/dnl.tmp" && mv "$d/dnl.tmp" "$d/dnl.jpg"
  cp "$d/blocks.jpg" "$d/UPPER.JPG"
  cp "$d/blocks.jpg" "$d/upper2.JPEG"
  cp "$d/blocks.bmp" "$d/UPPER.BMP"
  mkdir -p "$d/a.bmp.old"
  cp "$d/blocks.jpg" "$d/a.bmp.old/x.jpg"
  # Size limits.
  _qv_bmp 1 100 "$d/thin.bmp"
  _qv_jpeg 1 100 "$d/thin.jpg"
  _qv_bmp 5001 10 "$d/wide5001.bmp"
  _qv_jpeg 5001 10 "$d/wide5001.jpg"
  _qv_blocks 12000 9000 "$d/big12000.jpg" -quality 85
  _qv_jpeg 64 48 "$d/claims60000.jpg"
  _qv_patch_sof "$d/claims60000.jpg" 60000 60000
  _qv_jpeg 64 48 "$d/claims30000x100.jpg"
  _qv_patch_sof "$d/claims30000x100.jpg" 100 30000
  # Broken files.
  : >"$d/empty.jpg"
  : >"$d/empty.bmp"
  printf 'This is a text file, not a picture.\r\n' >"$d/text.jpg"
  head -c 3000 "$d/blocks.jpg" >"$d/truncated.jpg"
  { printf '\xff\xd8'; head -c 6000 /dev/zero | tr '\0' '\x5a'; } >"$d/garbage.jpg"
  # A BMP whose bits-per-pixel field says 7 and a BMP whose header claims a
  # 60000 x 60000 picture while holding 64 x 48 pixels.
  cp "$d/blocks.bmp" "$d/badbpp.bmp"
  printf '\x07\x00' | dd of="$d/badbpp.bmp" bs=1 seek=28 conv=notrunc status=none
  _qv_bmp 64 48 "$d/claims60000.bmp"
  printf '\x60\xea\x00\x00\x60\xea\x00\x00' | dd of="$d/claims60000.bmp" bs=1 seek=18 conv=notrunc status=none
  head -c 30 "$d/blocks.bmp" >"$d/shortheader.bmp"
  # Whole headers but only half the rows they promise.
  head -c 460854 "$d/blocks.bmp" >"$d/truncated.bmp"
  touch "$d/.made-v$QV_PICTURES_VERSION"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  qv_make_pictures "${1:?usage: make-pictures.sh FOLDER}"
fi
