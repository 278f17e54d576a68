#!/usr/bin/env bash
# Makes the test data directory of one variant: solid-colour 24-bit BMPs and
# the test scene scripts, in the layout of the variant data directory.
# Usage: data/test/make-test-data.sh OUTDIR [noscript|moving21|stopped21]
#   noscript: the same directory without any scene script.
#   moving21, stopped21: for the frame-pacing benchmark, one scene of 21
#   layers that move for 30 s, or that stand still from the start.
set -euo pipefail
out=$1
mode=${2:-}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# Little-endian bytes of a number as printf escapes.
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)); }

# solid_bmp FILE WIDTH HEIGHT R G B: a bottom-up 24-bit BMP of one colour.
solid_bmp() {
  local file=$1 w=$2 h=$3 r=$4 g=$5 b=$6
  local row=$(( (w * 3 + 3) / 4 * 4 ))
  local image=$(( row * h ))
  local pad=$(( row - w * 3 ))
  {
    printf "BM$(le32 $((54 + image)))$(le32 0)$(le32 54)"
    printf "$(le32 40)$(le32 "$w")$(le32 "$h")$(le16 1)$(le16 24)$(le32 0)$(le32 "$image")$(le32 2835)$(le32 2835)$(le32 0)$(le32 0)"
    local pixel line="" x y
    pixel=$(printf '\\x%02x\\x%02x\\x%02x' "$b" "$g" "$r")
    for ((x = 0; x < w; x++)); do line+=$pixel; done
    for ((x = 0; x < pad; x++)); do line+='\x00'; done
    for ((y = 0; y < h; y++)); do printf "$line"; done
  } >"$file"
}

# solid_bmp16 FILE WIDTH HEIGHT R G B: a 16-bit 5-6-5 BMP with bit fields,
# rows stored from the top (the platform's own loader turns those black).
solid_bmp16() {
  local file=$1 w=$2 h=$3 r=$4 g=$5 b=$6
  local row=$(( (w * 2 + 3) / 4 * 4 ))
  local image=$(( row * h ))
  local value=$(( (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3) ))
  {
    printf "BM$(le32 $((66 + image)))$(le32 0)$(le32 66)"
    printf "$(le32 40)$(le32 "$w")$(le32 $((-h)))$(le16 1)$(le16 16)$(le32 3)$(le32 "$image")$(le32 2835)$(le32 2835)$(le32 0)$(le32 0)"
    printf "$(le32 0xF800)$(le32 0x07E0)$(le32 0x001F)"
    local line="" x y
    for ((x = 0; x < w; x++)); do line+=$(le16 "$value"); done
    for ((x = w * 2; x < row; x++)); do line+='\x00'; done
    for ((y = 0; y < h; y++)); do printf "$line"; done
  } >"$file"
}

# solid_rle8 FILE WIDTH HEIGHT R G B: a run-length coded 8-bit BMP of one
# colour (WIDTH at most 255): a run of WIDTH pixels and an end of row per
# row, an end of picture.
solid_rle8() {
  local file=$1 w=$2 h=$3 r=$4 g=$5 b=$6
  local runs=$(( h * 4 + 2 ))
  {
    printf "BM$(le32 $((58 + runs)))$(le32 0)$(le32 58)"
    printf "$(le32 40)$(le32 "$w")$(le32 "$h")$(le16 1)$(le16 8)$(le32 1)$(le32 "$runs")$(le32 2835)$(le32 2835)$(le32 1)$(le32 0)"
    printf "$(printf '\\x%02x\\x%02x\\x%02x' "$b" "$g" "$r")\x00"
    local y
    for ((y = 0; y < h; y++)); do printf "$(printf '\\x%02x' "$w")\x00\x00\x00"; done
    printf '\x00\x01'
  } >"$file"
}

mkdir -p "$out/normal" "$out/wide"
solid_bmp "$out/base.bmp" 32 24 64 64 64
solid_bmp "$out/red.bmp" 16 16 255 0 0
solid_bmp "$out/green.bmp" 16 16 0 255 0
# Magenta and white come in the other kinds of BMP a layer's texture takes.
solid_bmp16 "$out/magenta.bmp" 16 16 255 0 255
solid_bmp "$out/yellow.bmp" 16 16 255 255 0
solid_bmp "$out/cyan.bmp" 16 16 0 255 255
# An odd size, so textures that are no power of two are made too.
solid_rle8 "$out/white.bmp" 30 10 255 255 255
# The ten default stills: a user's first show converts them into the
# per-user picture folder, and ends at once when one of them is missing.
for n in 1 2 3 4 5 6 7 8 9 10; do
  convert -size 80x60 xc:"rgb($((n * 20)),96,160)" -quality 95 "$out/still$n.jpg"
done

# bench_layers TIME: 21 layers, one above the other, sliding from x -80 to 80.
bench_layers() {
  local n
  for ((n = 1; n <= 21; n++)); do
    printf 'set\nlayer=%d\nsource=.\\white.bmp\nsx=-80\nex=80\nsy=%d\nswidth=20\nsheight=20\nsalpha=200\ntime=%s\nend\n' \
      "$n" $((-60 + 6 * n)) "$1"
  done
}

for dir in normal wide; do
  rm -f "$out/$dir/scenescript.txt"
  cp "$here/scenes/"*.txt "$out/$dir/"
  case "$mode" in
    noscript) rm -f "$out/$dir/scenescript.txt" ;;
    moving21|stopped21)
      printf 'scenetime=0\nscript=.\\bench.txt\nend\n' >"$out/$dir/scenescript.txt"
      bench_layers "$([ "$mode" = moving21 ] && echo 30 || echo 0)" >"$out/$dir/bench.txt"
      ;;
  esac
done
