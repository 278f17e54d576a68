#!/usr/bin/env bash
# A folder slot's pieces on Windows (under Wine), through the libraryprobe
# driver: the extensions the system's decoders give, the listing of a nested
# folder made here (hidden entries, a link back up the tree, names in
# several scripts, files that are not pictures), and WIC decoding each
# picture (PNG, GIF, TIFF, BMP, JPEG of plain colours) at its own size and
# shrunk in the decoder; a corrupt and an empty file are refused, not fatal.
source "$(dirname "$0")/lib.sh"
root="$WINEPREFIX/drive_c/qv-library"
rm -rf "$root"
mkdir -p "$root/2020/summer" "$root/東京" "$root/.thumbs" "$root/empty"
convert -size 64x48 xc:'#FF0000' "$root/red.jpg"
convert -size 40x30 xc:'#00FF00' "$root/2020/green.png"
convert -size 50x20 xc:'#0000FF' "$root/2020/summer/blue.gif"
convert -size 30x40 xc:'#FFFF00' -compress none "$root/2020/yellow.tiff"
convert -size 2000x1000 xc:'#FF00FF' "$root/東京/magenta.png"
convert -size 33x17 xc:'#00FFFF' -type TrueColor "BMP3:$root/한국 사진.bmp"
convert -size 10x10 xc:'rgba(255,0,0,0)' "PNG32:$root/clear.png"  # red, wholly transparent
convert -size 20x20 xc:white "$root/.thumbs/white.png"   # a dot name: hidden under Wine
convert -size 20x20 xc:white "$root/.hidden.png"
head -c 3000 /dev/urandom >"$root/2020/corrupt.jpg"
: >"$root/empty/nothing.png"
echo "not a picture" >"$root/notes.txt"
ln -s .. "$root/2020/loop"                               # back up the tree

probe() {
  timeout 120 "$(command -v wine64 || command -v wine)" "$QV_BUILD_DIR/tests/e2e/libraryprobe.exe" \
    'C:\qv-library' 2>/dev/null | tr -d '\r' | tee "$E2E_TMP/probe.log"
  return "${PIPESTATUS[0]}"
}
e2e_check "the probe runs" probe
log="$E2E_TMP/probe.log"
for ext in .jpg .jpeg .png .gif .bmp .tif .tiff; do
  e2e_check "the decoders take $ext" grep -qx "extension $ext" "$log"
done
listed() { grep '^listed ' "$log" | cut -d' ' -f2-; }
# Sorted byte by byte: 東 (E6 9D B1) before 한 (ED 95 9C).
expected=$'2020\\corrupt.jpg\n2020\\green.png\n2020\\summer\\blue.gif\n2020\\yellow.tiff\nclear.png\nempty\\nothing.png\nred.jpg\n東京\\magenta.png\n한국 사진.bmp'
e2e_check "the listing is every picture, nothing hidden, no loop, sorted" test "$(listed)" = "$expected"
# picture <name> <w>x<h> <shrunk for 16 x 16> <b,g,r at the centre>
e2e_check "PNG" grep -qx 'picture 2020\\green.png 40x30 40x30 0,255,0' "$log"
e2e_check "GIF, first frame" grep -qx 'picture 2020\\summer\\blue.gif 50x20 50x20 255,0,0' "$log"
e2e_check "TIFF, first page" grep -qx 'picture 2020\\yellow.tiff 30x40 30x40 0,255,255' "$log"
e2e_check "transparent pixels come out black" grep -qx 'picture clear.png 10x10 10x10 0,0,0' "$log"
e2e_check "BMP, a name in Korean" grep -qx 'picture 한국 사진.bmp 33x17 33x17 255,255,0' "$log"
# 2000 x 1000 for 16 x 16: factor min(125, 62) = 62; 2000 / 62 = 32.3 and
# 1000 / 62 = 16.1, rounded up.
e2e_check "a large picture shrunk in the decoder" grep -qx 'picture 東京\\magenta.png 2000x1000 33x17 255,0,255' "$log"
# 64 x 48 for 16 x 16: factor min(4, 3) = 3, so 22 x 16.
jpeg=$(grep '^picture red.jpg 64x48 22x16 ' "$log" | cut -d' ' -f5 || true)
jpeg_red() { local b g r; IFS=, read -r b g r <<<"$jpeg"; [ -n "$r" ] && [ "$b" -le 8 ] && [ "$g" -le 8 ] && [ "$r" -ge 247 ]; }
e2e_check "JPEG, red within the codec's rounding ($jpeg)" jpeg_red
e2e_check "a corrupt file is refused" grep -q '^refused 2020\\corrupt.jpg ' "$log"
e2e_check "an empty file is refused" grep -q '^refused empty\\nothing.png ' "$log"

gone() {
  timeout 120 "$(command -v wine64 || command -v wine)" "$QV_BUILD_DIR/tests/e2e/libraryprobe.exe" \
    'C:\qv-library-gone' 2>/dev/null | tr -d '\r' | grep -qx unreachable
}
e2e_check "a folder that is not there is unreachable, no error" gone
rm -rf "$root"
e2e_finish
