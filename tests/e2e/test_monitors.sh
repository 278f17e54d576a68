#!/usr/bin/env bash
# Two monitors: the show plays on the primary, the other monitor is black
# for the show's life, and a mouse move there ends the show; the test window
# stays one window. The show window holds the capture, so a key is also sent
# to the black window itself: its own handling must end the show. Wine sees two monitors when it reads them through
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

echo "--- full screen on two monitors"
show_start B /s
pid=$SHOW_PID
e2e_check "the show plays on the primary" show_wait_pixel "$shot" "$px" "$py" 255 0 0 3 30
for point in "5 5" "320 240" "634 474"; do
  # shellcheck disable=SC2086
  e2e_check "the second monitor is black at ($point)" e2e_pixel_near "$shot" $point 0 0 0 0
done
# WM_KEYDOWN (0x100) with the space bar, straight to the black window.
timeout 60 "$wine_bin" "$QV_BUILD_DIR/tests/e2e/sendmsg.exe" class:QuorVelkCover 0x100 0x20 2>/dev/null |
  tr -d '\r' >"$E2E_TMP/cover.log"
e2e_check "the black window takes a key sent to it ($(cat "$E2E_TMP/cover.log"))" grep -q '^answer' "$E2E_TMP/cover.log"
show_wait_exit "$pid" 15
e2e_check "a key on the black window itself ends the show, code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
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

echo "--- the test window"
xdotool mousemove 1040 300
show_start B /t
pid=$SHOW_PID
e2e_check "the test window plays on the primary" show_wait_pixel "$shot" "$px" "$py" 255 0 0 3 30
e2e_check "the second monitor keeps its desktop" e2e_pixel_near "$shot" 320 240 255 255 255 0
xdotool key space
show_wait_exit "$pid" 15
show_stop "$pid"

e2e_finish
