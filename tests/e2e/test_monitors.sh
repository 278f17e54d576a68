#!/usr/bin/env bash
# Two monitors: the show plays on the primary, the other monitor plays a
# show of its own in its own window, with other photos at the same moment
# (the backdrop where the user's one photo is on the primary),
# and a mouse move there ends the show; a second monitor whose device cannot
# be made stays black beside the primary's show; the test window stays one
# window.
# The show window holds the capture, so a key is also sent to the second
# monitor's window itself: its own handling must end the show. Wine sees two monitors when it reads them through
# Xinerama (its RandR reading is turned off for this test) from a nested
# Xephyr with two screens side by side; the screen placed at X's 0, 0 is
# put left of the primary, so in Windows coordinates it lies at negative x.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
show_install_data
wine_bin="$(command -v wine64 || command -v wine)"
x11_key='HKCU\Software\Wine\X11 Driver'
XEPHYR_PID=""

monitors_cleanup() {
  if [ -n "$XEPHYR_PID" ]; then kill "$XEPHYR_PID" 2>/dev/null || true; wait "$XEPHYR_PID" 2>/dev/null || true; fi
  e2e_cleanup
  timeout 60 wineserver -w 2>/dev/null || true
  "$wine_bin" reg delete "$x11_key" /v UseXRandR /f >/dev/null 2>&1 || true
  timeout 60 wineserver -w 2>/dev/null || true
}

# The host display, then Xephyr on it: primary 800 x 600 at X (640, 0),
# the second monitor 640 x 480 at X (0, 0), Windows (-640, 0).
e2e_start_display 1440x600x24
trap monitors_cleanup EXIT
"$wine_bin" reg add "$x11_key" /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
timeout 60 wineserver -w || true
fdfile="$E2E_TMP/xephyr-fd"
exec 9>"$fdfile"
Xephyr -displayfd 9 -origin 640,0 -screen 800x600 -origin 0,0 -screen 640x480 +xinerama \
  -noreset -nolisten tcp >"$E2E_TMP/xephyr.log" 2>&1 &
XEPHYR_PID=$!
for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
exec 9>&-
export DISPLAY=":$(tr -d '\n' <"$fdfile")"
# White everywhere, so black is the show's doing (kept: the server does
# not reset when its last client goes).
xsetroot -solid white
xdotool mousemove 1040 300
shot="$E2E_TMP/shot.png"

# Layer 1's red part in the full-screen show on the 800 x 600 primary
# (layout code 5, distance 251), moved to the primary's place in X.
read -r px py < <(show_project -55 0 1 251 800 600)
px=$((px + 640))
# The same on the 640 x 480 second monitor (layout code 10, distance 251),
# which lies at X's 0, 0.
read -r sx sy < <(show_project -55 0 1 251 640 480)

echo "--- full screen on two monitors"
show_start B /s
pid=$SHOW_PID
e2e_check "the show plays on the primary" show_wait_pixel "$shot" "$px" "$py" 255 0 0 3 30
e2e_check "the second monitor plays its own show (its layer 1 at ($sx, $sy))" \
  show_wait_pixel "$shot" "$sx" "$sy" 255 0 0 3 30
e2e_check "the primary's show still plays beside it" e2e_pixel_near "$shot" "$px" "$py" 255 0 0 3
# WM_KEYDOWN (0x100) with the space bar, straight to the second monitor's window.
timeout 60 "$wine_bin" "$QV_BUILD_DIR/tests/e2e/sendmsg.exe" class:QuorVelkCover 0x100 0x20 2>/dev/null |
  tr -d '\r' >"$E2E_TMP/cover.log"
e2e_check "the second monitor's window takes a key sent to it ($(cat "$E2E_TMP/cover.log"))" \
  grep -q '^answer' "$E2E_TMP/cover.log"
show_wait_exit "$pid" 15
e2e_check "a key on the second monitor's window itself ends the show, code 0 (got $SHOW_CODE)" \
  test "$SHOW_CODE" = 0
show_stop "$pid"

xdotool mousemove 1040 300
show_start B /s
pid=$SHOW_PID
e2e_check "the show plays again" show_wait_pixel "$shot" "$px" "$py" 255 0 0 3 30
xdotool mousemove 100 100
sleep 0.5
xdotool mousemove 300 300
show_wait_exit "$pid" 15
e2e_check "a move on the second monitor ends the show, code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$pid"

echo "--- no device on the second monitor"
# The test switch fails the second monitor's device: that monitor keeps its
# black window while the primary plays on, its frames still changing.
primary_moves() {
  e2e_screenshot "$E2E_TMP/before.png"
  sleep 1
  e2e_screenshot "$E2E_TMP/after.png"
  local changed
  changed=$(compare -metric AE -crop 800x600+640+0 "$E2E_TMP/before.png" "$E2E_TMP/after.png" null: 2>&1 || true)
  echo "  primary pixels changed in 1 s: $changed"
  [ "${changed%%.*}" -gt 0 ] 2>/dev/null
}
xdotool mousemove 1040 300
QV_TEST_NO_DEVICE_ON_MONITOR=2 show_start B /s
pid=$SHOW_PID
e2e_check "the primary plays with the second monitor's device refused" \
  show_wait_pixel "$shot" "$px" "$py" 255 0 0 3 30
# A second monitor's show is up well within a second of the primary's
# first frame when its device can be made (see the first part).
sleep 3
e2e_screenshot "$shot"
e2e_check "the second monitor stays black where its show would be red" e2e_pixel_near "$shot" "$sx" "$sy" 0 0 0 0
e2e_check "the second monitor is black at its centre too" e2e_pixel_near "$shot" 320 240 0 0 0 0
e2e_check "the primary's show is on screen beside it" e2e_pixel_near "$shot" "$px" "$py" 255 0 0 3
e2e_check "the primary's frames go on" primary_moves
e2e_check "the show runs on" show_running "$pid"
xdotool key space
show_wait_exit "$pid" 15
e2e_check "a key ends the show, code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$pid"

echo "--- the test window"
xdotool mousemove 1040 300
show_start B /t
pid=$SHOW_PID
e2e_check "the test window plays on the primary" show_wait_pixel "$shot" "$px" "$py" 255 0 0 3 30
e2e_check "the second monitor keeps its desktop" e2e_pixel_near "$shot" 320 240 255 255 255 0
xdotool key space
show_wait_exit "$pid" 15
show_stop "$pid"

echo "--- photos on both monitors"
# One placeholder scene asking for STILL1 on layer 1 at the centre, and the
# user's first show, which converts the ten default stills (still n is
# rgb(n x 20, 96, 160)). With ten photos and two monitors the second
# monitor's rotation starts 5 slots on: at the same moment the primary
# shows still 1 (red 20), the second still 6 (red 120).
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation"
rm -rf "$appdata/QUOR VELK-B Screen Saver"
"$wine_bin" reg delete 'HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver' /f >/dev/null 2>&1 || true
for dir in normal wide; do
  scenes="$SHOW_SYSTEM32/QUORvelkbsrc/$dir"
  printf 'effect=photo\nscenetime=0\nscript=.\\still_pictures.txt\nend\n' >"$scenes/scenescript.txt"
  printf 'set\nlayer=1\nsource=.\\STILL1.JPG\nsx=0\nsy=0\nswidth=120\nsheight=90\nend\n' \
    >"$scenes/still_pictures.txt"
done
# One screenshot: the primary's centre in r1 g1 b1, the second monitor's in
# r2 g2 b2 (the caller's locals), both in STILLS for the log.
read_centres() {
  e2e_screenshot "$shot"
  read -r r1 g1 b1 < <(e2e_pixel "$shot" 1040 300)
  read -r r2 g2 b2 < <(e2e_pixel "$shot" 320 240)
  STILLS="primary $r1 $g1 $b1, second $r2 $g2 $b2"
}
# True when both centres show stills, the primary still $1 and the second
# monitor still $2 (red n x 20 within 8), in one screenshot.
both_stills() {
  local r1 g1 b1 r2 g2 b2
  read_centres
  for v in "$r1 $g1 $b1 $1" "$r2 $g2 $b2 $2"; do
    read -r r g b n <<<"$v"
    (( (r - n * 20) ** 2 <= 64 && (g - 96) ** 2 <= 64 && (b - 160) ** 2 <= 64 )) || return 1
  done
}
wait_both_stills() {
  local start=$SECONDS
  until both_stills "$1" "$2"; do
    (( SECONDS - start >= 60 )) && return 1
    sleep 0.5
  done
}
xdotool mousemove 1040 300
show_start B /s
pid=$SHOW_PID
e2e_check "still 1 on the primary and still 6 on the second monitor at once" wait_both_stills 1 6
echo "  $STILLS"
xdotool key space
show_wait_exit "$pid" 15
e2e_check "a key ends the show on both monitors, code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$pid"

echo "--- one photo on two monitors"
# The user keeps only the first photo: the primary shows it, and the second
# monitor, whose placeholder would take the same photo, shows the backdrop
# instead, all the while.
"$wine_bin" reg add 'HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver' /v photo_num /t REG_DWORD /d 1 \
  /f >/dev/null 2>&1
timeout 60 wineserver -w || true
# True when the primary shows still 1 and the second monitor's show is up
# (neither the desktop's white nor its window's black) with anything but
# still 1.
one_photo_apart() {
  local r1 g1 b1 r2 g2 b2
  read_centres
  (( (r1 - 20) ** 2 <= 64 && (g1 - 96) ** 2 <= 64 && (b1 - 160) ** 2 <= 64 )) || return 1
  (( r2 + g2 + b2 > 24 && r2 + g2 + b2 < 740 )) || return 1
  (( (r2 - 20) ** 2 + (g2 - 96) ** 2 + (b2 - 160) ** 2 > 3 * 64 ))
}
wait_one_photo_apart() {
  local start=$SECONDS
  until one_photo_apart; do
    (( SECONDS - start >= 60 )) && return 1
    sleep 0.5
  done
  # Still so a while later.
  sleep 2
  one_photo_apart
}
xdotool mousemove 1040 300
show_start B /s
pid=$SHOW_PID
e2e_check "the one photo on the primary only, the backdrop on the second monitor" wait_one_photo_apart
echo "  $STILLS"
xdotool key space
show_wait_exit "$pid" 15
show_stop "$pid"

e2e_finish
