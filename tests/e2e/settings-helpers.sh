# Helpers for the settings-dialog tests; source after lib.sh and show-helpers.sh.
# The dialog is driven by settingsdriver (drivers/settingsdriver_win32.cpp).
driver="$QV_BUILD_DIR/tests/e2e/settingsdriver.exe"

# drive COMMAND...: one driver run against variant $variant; its lines in OUT.
variant=B
drive() {
  OUT=$(timeout 180 "$(command -v wine64 || command -v wine)" "$driver" "$variant" "$@" 2>>"$E2E_TMP/wine.log" |
    tr -d '\r') || true
  printf '%s\n' "$OUT" >>"$E2E_TMP/driver.log"
}
# True when the last run printed every one of these lines.
said() {
  local l
  for l in "$@"; do grep -qxF -- "$l" <<<"$OUT" || { echo "  no line \"$l\"" >&2; return 1; }; done
}
open_dialog() {  # args for the program; WINDOW: "x y w h" of the dialog, its list filled
  show_start "$variant" "$@"
  DIALOG_PID=$SHOW_PID
  drive wait idle
  WINDOW=$(sed -n 's/^window: //p' <<<"$OUT")
  CAPTION=$(sed -n 's/^caption: //p' <<<"$OUT")
}
close_dialog() {  # ok | cancel
  drive click "$1" closed
  show_wait_exit "$DIALOG_PID" 20
  e2e_check "$variant: $1 closes the dialog and the program ends with 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
  show_stop "$DIALOG_PID"
}
reset_user() {  # letter
  rm -rf "$roaming/QUOR VELK-$1 Screen Saver"
  qv_wine reg delete "HKCU\\Software\\Tarn Corporation\\QUOR VELK-$1 Screen Saver" /f >/dev/null 2>&1 || true
}
