#!/usr/bin/env bash
# Frame pacing of the show under Wine (not part of the test command).
# Measures, over QV_BENCH_SECONDS (default 20) seconds in an Xvfb of its own:
#   1. the processor time of quorvelb.scr "/t" on a scene of 21 moving layers,
#   2. the same for our minimal Direct3D 8 program drawing 21 quads at 20
#      frames a second (tests/e2e/drivers/d3dbaseline_win32.cpp): the
#      show should need at most 1.2 times the baseline,
#   3. the processor share of the show once all 21 layers stand still
#      (should be under 5 % of one core),
#   4. the moving show again with background music on (a looping 2 s tone
#      played into ALSA's null device): also at most 1.2 times the baseline.
# The shows of 1 and 3 run with "background music" 0.
# Processor time is the program's own (user + system, from /proc), and the
# same plus the wine server's, which does work on the program's behalf.
# Usage: bench/frame_pacing.sh   (QV_BUILD_DIR: the Windows build, default build/win64)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QV_BUILD_DIR:-$root/build/win64}"
seconds="${QV_BENCH_SECONDS:-20}"
source "$root/scripts/wine-env.sh"
qv_ensure_prefix
wine_bin="$(command -v wine64 || command -v wine)"
datadir="$WINEPREFIX/drive_c/windows/system32/QUORvelkbsrc"
out="$build/bench-frame-pacing"
mkdir -p "$out"
hz=$(getconf CLK_TCK)

source "$root/bench/bench-lib.sh"
bench_display 1024x768x24 "$out"


# The music run's sound goes to ALSA's null device: its own HOME holds the
# .asoundrc (for the program only), and the variant's music file is a tone.
music_home="$out/home"
mkdir -p "$music_home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$music_home/.asoundrc"
key='HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver'
set_music() { qv_wine reg add "$key" /v "background music" /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
install_music() {
  sox -n -r 44100 -c 2 "$out/tone.wav" synth 2 sine 440 vol 0.5
  lame --quiet "$out/tone.wav" "$datadir/SleepyTime.mp3"
}

# measure NAME PROGRAM ARGS...: prints "own total" processor seconds over the window.
measure() {
  local name=$1 program=$2; shift 2
  "$wine_bin" "$program" "$@" >"$out/$name.log" 2>&1 &
  local launcher=$!
  sleep 4   # start-up and the first scene are not part of the measurement
  local pid server
  pid=$(pid_of "$program")
  server=$(server_of_prefix)
  if [ -z "$pid" ]; then echo "$name did not start" >&2; return 1; fi
  local p0 s0 p1 s1
  p0=$(ticks_of "$pid"); s0=$(ticks_of "${server:-0}")
  sleep "$seconds"
  p1=$(ticks_of "$pid"); s1=$(ticks_of "${server:-0}")
  # A server that went away (or was never found) adds nothing.
  [ "$s1" -ge "$s0" ] || s1=$s0
  xdotool key space 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
  awk -v a=$((p1 - p0)) -v b=$((s1 - s0)) -v hz="$hz" 'BEGIN { printf "%.2f %.2f\n", a / hz, (a + b) / hz }'
}

cmake --build "$build" --target quorvelb d3dbaseline >/dev/null

bash "$root/data/test/install-test-data.sh" moving21 b
set_music 0
read -r show_own show_all < <(measure show-moving "$build/app/quorvelb.scr" /t)
read -r base_own base_all < <(measure baseline "$build/tests/e2e/d3dbaseline.exe" $((seconds + 8)) "$(winepath -w "$datadir/white.bmp")")
install_music
set_music 1
read -r music_own music_all < <(HOME="$music_home" measure show-music "$build/app/quorvelb.scr" /t)
set_music 0
bash "$root/data/test/install-test-data.sh" stopped21 b
read -r still_own still_all < <(measure show-stopped "$build/app/quorvelb.scr" /t)
bash "$root/data/test/install-test-data.sh" "" b
qv_wine reg delete "$key" /v "background music" /f >/dev/null 2>&1 || true

awk -v so="$show_own" -v sa="$show_all" -v bo="$base_own" -v ba="$base_all" \
    -v mo="$music_own" -v ma="$music_all" -v to="$still_own" -v ta="$still_all" -v s="$seconds" 'BEGIN {
  printf "over %d s (processor seconds: program / program + wine server)\n", s
  printf "show, 21 moving layers:   %6.2f / %6.2f\n", so, sa
  printf "baseline, 21 quads 20 fps: %6.2f / %6.2f\n", bo, ba
  printf "show / baseline:           %6.2f / %6.2f  (target <= 1.2)\n", (bo > 0 ? so / bo : 0), (ba > 0 ? sa / ba : 0)
  printf "show with music:           %6.2f / %6.2f\n", mo, ma
  printf "show with music / baseline: %5.2f / %6.2f  (target <= 1.2)\n", (bo > 0 ? mo / bo : 0), (ba > 0 ? ma / ba : 0)
  printf "show, all layers stopped:  %5.1f %% / %5.1f %% of one core  (target < 5 %%)\n", 100 * to / s, 100 * ta / s
}' | tee "$out/result.txt"
