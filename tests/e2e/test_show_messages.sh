#!/usr/bin/env bash
# The show window's answers to system messages: Alt+F4 / SC_CLOSE (also with
# the low four bits set) are swallowed, a move that keeps the size and a
# power status change are ignored, while a suspend, a display
# change, a session end, a capture change in the test window and the loss of
# activation end the show (exit code 0 each time).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
e2e_start_display 1024x768x24
show_install_data
shot="$E2E_TMP/shot.png"
title="QUOR VELK-B screen saver"
read -r bx by < <(show_project -55 0 1 251)
wine_bin="$(command -v wine64 || command -v wine)"

# send ARGS...: runs the sendmsg driver on the show window; its output goes
# to $E2E_TMP/sendmsg.log.
send() {
  timeout 60 "$wine_bin" "$QV_BUILD_DIR/tests/e2e/sendmsg.exe" "$title" "$@" 2>/dev/null |
    tr -d '\r' >"$E2E_TMP/sendmsg.log"
  cat "$E2E_TMP/sendmsg.log"
}
answered() { grep -qx "answer $1" "$E2E_TMP/sendmsg.log"; }

start_b() {
  show_start B /t
  pid=$SHOW_PID
  e2e_check "$1: B shows" show_wait_pixel "$shot" "$bx" "$by" 255 0 0 3 30
}
ends() {  # ends WHAT: the show must end by itself with code 0
  show_wait_exit "$pid" 15
  e2e_check "$1 ends the show with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
  show_stop "$pid"
}

start_b "swallowed"
send 0x0112 0xF060        # WM_SYSCOMMAND, SC_CLOSE
sleep 1
e2e_check "SC_CLOSE is swallowed" show_running "$pid"
# The system uses the low four bits of a command itself: they are masked
# off before the comparison.
send 0x0112 0xF063        # SC_CLOSE | 3
send 0x0112 0xF142        # SC_SCREENSAVE | 2
sleep 1
e2e_check "SC_CLOSE and SC_SCREENSAVE with low bits set are swallowed too" show_running "$pid"
# A move that keeps the size says nothing about the display: the show stays.
send move 10 10
sleep 1
e2e_check "a move without a size change keeps the show" show_running "$pid"
xdotool key alt+F4
sleep 1.5
e2e_check "Alt+F4 does not end the show" show_running "$pid"
send 0x0218 10            # WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE
e2e_check "a power broadcast is answered TRUE" answered 1
sleep 1
e2e_check "a power status change does not end the show" show_running "$pid"
send 0x0218 4             # PBT_APMSUSPEND
e2e_check "a suspend broadcast is answered TRUE" answered 1
ends "a suspend broadcast"

start_b "display change"
send 0x007E 32 0x03000400  # WM_DISPLAYCHANGE to 1024 x 768 x 32
e2e_check "a display change is answered 1" answered 1
ends "a display change"

start_b "session end"
send 0x0011 0 0           # WM_QUERYENDSESSION
e2e_check "the session may end (TRUE)" answered 1
ends "a session end"

# A capture change brings the window back to the front at the screen's size
# (1024 x 768): larger than the 800 x 600 test window both ways, which the
# size check takes for a display change.
start_b "capture change"
send 0x0215 0 0           # WM_CAPTURECHANGED, no window gaining it
ends "a capture change in the test window"

start_b "activation"
send activate-other
ends "another window coming to the front"

e2e_finish
