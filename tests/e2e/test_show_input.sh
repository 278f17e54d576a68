#!/usr/bin/env bash
# How a show ends: a mouse move of 6 pixels ends it, 5 do not (the first
# move only records where the cursor is); a button ends it; a second start
# of the same variant ends at once while another variant starts; "/p" with a
# handle that is no window ends by itself, and a preview ends when its window
# goes; configuration mode opens the settings dialog, and its Cancel ends the
# program. Exit codes are 0 throughout.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
e2e_start_display 1024x768x24
show_install_data
shot="$E2E_TMP/shot.png"
# Layer 1's red part, for variant B's camera (distance 251) and variant A's
# (253): where the tests see that a show is up.
read -r bx by < <(show_project -55 0 1 251)
# Record 22 (yellow) is drawn by variant A only: it tells A's show apart.
read -r ax ay < <(show_project 60 50 22 253)

echo "--- mouse moves"
# Wine sends one mouse move when the window shows, at the cursor position
# its server last knew; a fresh server starts with the screen's centre,
# which is where a fresh Xvfb has its pointer. So the test waits for a fresh
# server and moves relative to the centre (512, 384).
timeout 30 wineserver -w || true
xdotool mousemove 512 384
sleep 0.3
show_start B /t
pid=$SHOW_PID
e2e_check "B shows" show_wait_pixel "$shot" "$bx" "$by" 255 0 0 3 30
sleep 1   # the move the system sends when the window shows
# Every position below lies within 5 pixels of the centre and of each other
# on both axes, so the result is the same even when a loaded machine hands
# the system's move over after the first of ours (the show then takes that
# one as its first position).
xdotool mousemove 517 384
sleep 2
e2e_check "5 pixels to the right do not end the show" show_running "$pid"
xdotool mousemove 512 379
sleep 2
e2e_check "5 pixels up do not end the show" show_running "$pid"
xdotool mousemove 517 379
sleep 2
e2e_check "5 pixels right and up do not end the show" show_running "$pid"
xdotool mousemove 512 390
show_wait_exit "$pid" 15
e2e_check "6 pixels down end the show with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$pid"

echo "--- mouse button"
show_start B /t
pid=$SHOW_PID
e2e_check "B shows again" show_wait_pixel "$shot" "$bx" "$by" 255 0 0 3 30
sleep 0.5
xdotool click 1
show_wait_exit "$pid" 15
e2e_check "a click ends the show with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$pid"

echo "--- one instance per variant"
show_start B /t
first=$SHOW_PID
e2e_check "the first B shows" show_wait_pixel "$shot" "$bx" "$by" 255 0 0 3 30
show_start B /s
second=$SHOW_PID
show_wait_exit "$second" 15
e2e_check "a second B ends at once with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
e2e_check "the first B is still running" show_running "$first"
show_start B /c
show_wait_exit "$SHOW_PID" 15
e2e_check "a second B in configuration mode ends too (got $SHOW_CODE)" test "$SHOW_CODE" = 0
e2e_check "the first B is still running after that" show_running "$first"
show_start A /t
other=$SHOW_PID
# A's record 22 shows on top of whatever B left on the screen.
e2e_check "A starts beside B and draws its record 22" show_wait_pixel "$shot" "$ax" "$ay" 255 255 0 3 30
e2e_check "A is running" show_running "$other"
xdotool key Escape
show_wait_exit "$other" 15
e2e_check "A ends on a key with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$other"
# B lost the activation to A, which ends a show too.
show_wait_exit "$first" 15
e2e_check "B has ended as well (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$first"

echo "--- preview and configuration"
show_start B /p 12345
show_wait_exit "$SHOW_PID" 15
e2e_check "/p with a handle that is no window ends by itself, code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$SHOW_PID"
show_start B /p
show_wait_exit "$SHOW_PID" 15
e2e_check "/p without a handle ends by itself, code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$SHOW_PID"
host="$QV_BUILD_DIR/tests/e2e/previewhost.exe"
program="$(winepath -w "$SHOW_APP_DIR/quorvelc.scr" 2>/dev/null)"
preview_host() {
  timeout 60 "$(command -v wine64 || command -v wine)" "$host" "$program" >"$E2E_TMP/previewhost.log" 2>&1
  local status=$?
  cat "$E2E_TMP/previewhost.log" | tr -d '\r' | grep -E '^saver' || true
  return $status
}
e2e_check "a preview stays while its window exists and ends after it" preview_host
driver="$QV_BUILD_DIR/tests/e2e/settingsdriver.exe"
for args in "" "/c" "/c:1234" "-C"; do
  # shellcheck disable=SC2086
  show_start B $args
  said=$(timeout 60 "$(command -v wine64 || command -v wine)" "$driver" B wait click cancel closed 2>/dev/null | tr -d '\r')
  show_wait_exit "$SHOW_PID" 15
  e2e_check "configuration mode '${args}' opens the settings dialog" grep -qxF 'caption: QUOR VELK-B Screen Saver Setting' <<<"$said"
  e2e_check "its Cancel ends the program with code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
  show_stop "$SHOW_PID"
done

e2e_finish
