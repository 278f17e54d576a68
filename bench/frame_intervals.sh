#!/usr/bin/env bash
# Frame intervals of variant B's show under Wine (not part of the test
# command): the real scene scripts full screen ("/s") on a 1920 x 1080 Xvfb
# of its own, with ten converted 6000 x 4000 photos in the user's list (those
# of bench/startup.sh), for QV_BENCH_SECONDS (default 60) seconds. The show
# writes each due frame's interval as a debug line when QV_FRAME_LOG is set
# ("quorvelk: frame interval 50.1 ms", " same" when the frame looked like the
# last one and was not presented); Wine prints them under
# WINEDEBUG=+debugstr. Reports the count, median, 99th percentile and
# longest interval after the first frame, how many exceed 100 ms, and how
# many textures scenes had to have made when they started (the show's
# "textures made at scene time" lines) rather than ahead of them.
# Target: none above 100 ms. QV_BENCH_FOLDER makes slot 1 a folder slot.
# QV_BENCH_MUSIC=1 plays the variant's music (sound to ALSA's null device);
# without it the music is off. The longest interval of the first 5 s is
# reported apart, since the music's start falls there.
# Usage: bench/frame_intervals.sh   (QV_BUILD_DIR: the Windows build, default build/win64)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QV_BUILD_DIR:-$root/build/win64}"
seconds="${QV_BENCH_SECONDS:-60}"
source "$root/scripts/wine-env.sh"
qv_ensure_prefix
wine_bin="$(command -v wine64 || command -v wine)"
out="$build/bench-frames"
mkdir -p "$out"

source "$root/bench/bench-lib.sh"
bench_places
bench_display 1920x1080x24 "$out"

cmake --build "$build" --target quorvelb qvimport >/dev/null
bash "$root/data/install-data.sh" "b" >/dev/null  # the real scene scripts

# Ten 6000 x 4000 photos, those of bench/startup.sh.
photos="$build/bench-startup/photos"
bench_photos "$photos" "$system32/QUORvelkbsrc"

# Converted by the program's own conversion into the user's picture folder.
folder="$appdata/QUOR VELK-B Screen Saver"
folder_win="$appdata_win\\QUOR VELK-B Screen Saver\\"
bench_convert B "$photos" "$folder" "$folder_win" "$out/convert.log"
qv_wine reg delete "$key" /f >/dev/null 2>&1 || true
for n in $(seq 1 10); do
  qv_wine reg add "$key" /v "photo$n" /t REG_SZ /d "${folder_win}photo$n.bmp" /f >/dev/null 2>&1
  qv_wine reg add "$key" /v "photo${n}_real" /t REG_SZ /d "Z:${photos//\//\\}\\photo$n.jpg" /f >/dev/null 2>&1
done
# QV_BENCH_FOLDER (a folder's Unix path): slot 1 stands for that folder, so
# the folder worker runs beside the show.
if [ -n "${QV_BENCH_FOLDER:-}" ]; then
  qv_wine reg add "$key" /v photo1_real /t REG_SZ /d "Z:${QV_BENCH_FOLDER//\//\\}\\" /f >/dev/null 2>&1
  rm -f "$folder"/photo*.library
fi
qv_wine reg add "$key" /v photo_num /t REG_DWORD /d 10 /f >/dev/null 2>&1
music="${QV_BENCH_MUSIC:-0}"
[ "$music" = 1 ] || music=0
qv_wine reg add "$key" /v "background music" /t REG_DWORD /d "$music" /f >/dev/null 2>&1
# The music's sound goes to ALSA's null device: a HOME of the program's own
# holds that .asoundrc; the prefix stays where WINEPREFIX says.
music_home="$out/home"
mkdir -p "$music_home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$music_home/.asoundrc"
program_home="$HOME"
[ "$music" = 1 ] && program_home="$music_home"

program="$build/app/quorvelb.scr"
log="$out/show.log"
HOME="$program_home" QV_FRAME_LOG=1 WINEDEBUG=+timestamp,+debugstr timeout $((seconds + 60)) "$wine_bin" "$program" /s 2>"$log" &
launcher=$!
# The show's time counts from its first frame (up to 30 s to come).
for ((t = 0; t < 300; t++)); do
  grep -aq 'quorvelk: first frame presented' "$log" 2>/dev/null && break
  sleep 0.1
done
sleep "$seconds"
xdotool key space 2>/dev/null || true
for ((t = 0; t < 100; t++)); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.1; done
pid=$(pid_of "$program" timeout)
[ -n "$pid" ] && kill "$pid" 2>/dev/null || true
wait "$launcher" 2>/dev/null || true

# The prefix as the tests leave it.
bash "$root/data/test/install-test-data.sh" >/dev/null
rm -rf "$folder"
qv_wine reg delete "$key" /f >/dev/null 2>&1 || true

grep -ao '"quorvelk: frame interval [0-9.]* ms[a-z ]*' "$log" |
  awk '{ print $4 }' | sort -g >"$out/intervals.txt"
{
  echo "variant B, ten photos, 1920 x 1080, ${seconds} s after the first frame, music $([ "$music" = 1 ] && echo on || echo off)"
  awk '{ v[NR] = $1; if ($1 > 100) over++ } END {
    if (NR == 0) { print "no frame intervals recorded"; exit 1 }
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    r = int(NR * 0.99); if (r < NR * 0.99) r++; if (r < 1) r = 1
    printf "frames: %d\nmedian: %.1f ms\n99th percentile: %.1f ms\nlongest: %.1f ms\nabove 100 ms: %d  (target 0)\n",
      NR, m, v[r], v[NR], over }' "$out/intervals.txt"
  # The first 5 s after the first frame presented, on Wine's clock.
  first=$(grep -a 'quorvelk: first frame presented' "$log" | head -1 | sed -E 's/^([0-9.]+):.*/\1/')
  grep -a 'quorvelk: frame interval' "$log" | sed -E 's/^([0-9.]+):.*interval ([0-9.]+) ms.*/\1 \2/' |
    awk -v f="${first:-0}" '$1 > f && $1 <= f + 5 && $2 > m { m = $2; at = $1 } END {
      printf "longest in the first 5 s: %.1f ms at %s\n", m, (at == "" ? "-" : at) }'
  echo "the longest, with their moments (Wine's clock, s):"
  grep -a 'quorvelk: frame interval' "$log" | sed -E 's/^([0-9.]+):.*interval ([0-9.]+) ms.*/\2 \1/' |
    sort -gr | awk 'NR <= 5 { printf "  %s ms at %s\n", $1, $2 }'
  # Scene starts whose textures were not all made ahead in the spare time.
  grep -a 'quorvelk: textures made at scene time' "$log" |
    sed -E 's/^([0-9.]+):.*scene time: ([0-9]+).*/\1 \2/' |
    awk '{ n += $2; s++; if (s <= 5) line[s] = sprintf("  %s at %s", $2, $1) } END {
      printf "textures made at scene time, not ahead: %d, at %d scene starts\n", n, s
      for (i = 1; i <= s && i <= 5; ++i) print line[i] }'
} | tee "$out/result.txt"
