#!/usr/bin/env bash
# Builds the variant data directories from the sources in data/: scene
# scripts and layer files (data/scenes.py), backdrop, logos, title, frame and
# shadow bitmaps, nofile.bmp (C), the ten default stills and the music.
# Usage: data/make-data.sh [OUTROOT] [LETTERS]
#   OUTROOT: default build/data; each variant goes to OUTROOT/A, B, C.
#   LETTERS: default "A B C".
# The stills and the music take the longest; they are made again only when
# their makers change (a stamp of the makers' checksum sits beside them).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
outroot=${1:-$root/build/data}
letters=${2:-A B C}
source "$here/pictures.sh"

font_serif=/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf
font_sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
for f in "$font_serif" "$font_sans"; do
  [ -f "$f" ] || { echo "make-data: font $f missing (package fonts-dejavu-core)" >&2; exit 1; }
done

# bmp24 IN... OUT: ImageMagick arguments written as an uncompressed 24-bit
# bottom-up BMP with the 40-byte header, the only kind the show reads.
bmp24() { local out=${*: -1}; convert "${@:1:$#-1}" -alpha off -type TrueColor -compress none "BMP3:$out"; }

stamp_of() { cat "$@" | sha1sum | cut -c1-40; }

# The stills are the same in every variant: made once, copied.
stills="$outroot/.stills"
stamp=$(stamp_of "$here/pictures.sh")
if [ "$(cat "$stills/stamp" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$stills"; mkdir -p "$stills"
  make_stills "$stills"
  echo "$stamp" >"$stills/stamp"
fi

# music OUT CHORD...: a slow pad, ten seconds a chord, each note a soft sine
# with a slow swell, each chord faded in and out (the pad breathes), then
# reverb; it starts and ends quietly so the loop's seam is not heard.
make_music() {
  local out=$1; shift
  local t n=0 parts=() notes
  t=$(mktemp -d)
  for chord in "$@"; do
    notes=()
    for f in $chord; do
      sox -n -r 44100 -c 1 "$t/n$n-$f.wav" synth 10 sine "$f" synth 10 sine amod 0.15 80 vol 0.16
      notes+=("$t/n$n-$f.wav")
    done
    sox -m "${notes[@]}" "$t/c$n.wav" fade q 2.5 10 2.5
    parts+=("$t/c$n.wav"); n=$((n + 1))
  done
  sox "${parts[@]}" "$t/all.wav" channels 2 reverb 60 50 90 gain -n -6 trim 0 40 fade q 0.5 40 1.5
  lame --quiet -b 112 --noreplaygain "$t/all.wav" "$out"
  rm -rf "$t"
}

for v in $letters; do
  src="$here/$v"
  [ -f "$src/look.sh" ] || { echo "make-data: no $src/look.sh" >&2; exit 1; }
  # shellcheck source=/dev/null
  source "$src/look.sh"
  out="$outroot/$v"
  mkdir -p "$out"
  # Everything but the music (kept when its maker is unchanged) is made anew.
  find "$out" -mindepth 1 -maxdepth 1 ! -name '*.mp3' ! -name '.music-stamp' -exec rm -rf {} +
  mkdir -p "$out/normal" "$out/wide"

  # Backdrop: a soft radial light on the variant's colours with faint clouds.
  bmp24 -size 256x192 radial-gradient:"$backdrop_centre"-"$backdrop_edge" \
    \( -size 256x192 -seed 77 plasma:fractal -colorspace gray -blur 0x12 -auto-level \) \
    -compose soft-light -composite -resize 1024x768! -blur 0x2 "$out/base.bmp"

  # Title (5:1) and logo (4.7:1): text on a plate of the backdrop's centre
  # colour, with margins, since the show cuts the top and bottom 3 %.
  bmp24 -size 1000x200 xc:"$backdrop_centre" -fill none -stroke "$accent" -strokewidth 2 \
    -draw 'line 60,16 940,16' -draw 'line 60,183 940,183' -stroke none -font "$font_serif" -fill "$accent" -gravity center \
    -pointsize 104 -kerning 22 -annotate +0-14 'QUOR VELK' \
    -font "$font_sans" -pointsize 30 -kerning 12 -annotate +0+66 "photo screen saver  ·  $letter" \
    "$out/title.bmp"
  bmp24 -size 752x160 xc:"$plate" -fill none -stroke "$accent" -strokewidth 3 -draw 'rectangle 10,10 741,149' \
    -stroke none -font "$font_sans" -fill "$accent" -gravity center -pointsize 78 -kerning 8 \
    -annotate +0+2 "QUOR VELK-$letter" "$out/$logo"

  # A print's white border and the shadow under it.
  bmp24 -size 64x48 gradient:'#fbf8f1'-'#e9e3d6' "$out/frame.bmp"
  bmp24 -size 8x8 xc:black "$out/shadow.bmp"

  if [ "$v" = C ]; then
    # Shown for a picture that cannot be found: a neutral tile.
    bmp24 -size 320x240 xc:'#8c8c8c' -fill '#a6a6a6' -draw 'rectangle 24,24 295,215' \
      -fill '#7a7a7a' -draw 'polygon 60,180 120,100 160,150 190,120 260,180' -draw 'circle 220,75 220,92' \
      -font "$font_sans" -fill '#f0f0f0' -gravity south -pointsize 26 -annotate +0+30 'no picture' \
      "$out/nofile.bmp"
  fi

  cp "$stills"/still*.jpg "$out/"

  mstamp=$(stamp_of "$src/look.sh" "$here/make-data.sh")
  if [ "$(cat "$out/.music-stamp" 2>/dev/null)" != "$mstamp" ] || [ ! -f "$out/$music" ]; then
    rm -f "$out"/*.mp3
    make_music "$out/$music" "${chords[@]}"
    echo "$mstamp" >"$out/.music-stamp"
  fi

  for shape in normal wide; do
    python3 "$here/scenes.py" --variant "$v" --shape "$shape" --logo "$logo" "$out/$shape"
  done
done
echo "variant data directories: $outroot/{${letters// /,}}" >&2
