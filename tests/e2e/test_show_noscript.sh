#!/usr/bin/env bash
# Shows that cannot start: with a data directory without a scene script the
# show window opens and closes itself as soon as the message loop runs;
# without Direct3D the show ends at once, and the renderer made for the
# window goes with it. Either way the program ends with exit code 0 and no
# message.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
e2e_start_display 1024x768x24
show_install_data noscript

declare -A title=([A]="QUOR VELK-A screen saver" [B]="QUOR VELK-B screen saver" [C]="QUOR VELK-C screen saver")
for variant in B A C; do
  start=$SECONDS
  : >"$E2E_TMP/wine.log"
  # Wine's window trace shows the window being made and shown, however
  # briefly it is there.
  export WINEDEBUG=+win
  show_start "$variant" /t
  export WINEDEBUG=-all
  show_wait_exit "$SHOW_PID" 30
  e2e_check "$variant without a scene script ends by itself with code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
  show_stop "$SHOW_PID"
  echo "  ended after $((SECONDS - start)) s"
  e2e_check "$variant made its 800 x 600 popup window" \
    grep -aqE "WIN_CreateWindowEx \"${title[$variant]}\".* 0,0 800x600 " "$E2E_TMP/wine.log"
  e2e_check "$variant showed it" grep -aq 'flags: SWP_SHOWWINDOW$' "$E2E_TMP/wine.log"
done

# Without Direct3D (d3d8.dll switched off) the device cannot be made: the
# show ends silently, with exit code 0, even with a good scene script.
show_install_data
export WINEDLLOVERRIDES="d3d8=;mscoree,mshtml="
show_start B /t
export WINEDLLOVERRIDES="mscoree,mshtml="
show_wait_exit "$SHOW_PID" 30
e2e_check "B without Direct3D ends by itself with code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$SHOW_PID"
# The renderer made for the failed window is released with it.
WINEDLLOVERRIDES="d3d8=;mscoree,mshtml=" timeout 60 "$(command -v wine64 || command -v wine)" \
  "$QV_BUILD_DIR/tests/e2e/showfail.exe" >"$E2E_TMP/showfail.log" 2>/dev/null || true
tr -d '\r' <"$E2E_TMP/showfail.log" | sed 's/^/  /'
e2e_check "a failed show window leaves no renderer behind" grep -q 'ok: no renderer is left' "$E2E_TMP/showfail.log"

# The data is put back for the tests that follow.
show_install_data
e2e_finish
