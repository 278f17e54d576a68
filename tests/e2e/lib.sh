# Shared helpers for the end-to-end tests; source it from a test_*.sh.
# Each test gets its own Xvfb (a free display number picked by Xvfb itself)
# and its own scratch folder; the Wine prefix is the project's.
set -euo pipefail
QV_SOURCE_DIR="${QV_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
QV_BUILD_DIR="${QV_BUILD_DIR:-$QV_SOURCE_DIR/build/win64}"
source "$QV_SOURCE_DIR/scripts/wine-env.sh"
qv_ensure_prefix

E2E_NAME="$(basename "${0%.sh}")"
E2E_TMP="$QV_BUILD_DIR/e2e-out/$E2E_NAME"
rm -rf "$E2E_TMP"
mkdir -p "$E2E_TMP"
E2E_FAILURES=0
E2E_CHECKS=0
XVFB_PID=""

# Starts Xvfb with a screen of the given size (default 1024x768x24) and exports DISPLAY.
e2e_start_display() {
  local size="${1:-1024x768x24}"
  local fdfile="$E2E_TMP/displayfd"
  # A wine server still running from the test before keeps that test's
  # display (or none): windows made through it fail on the new one. Let it
  # end first, so this test's programs get a server on this display.
  timeout 60 wineserver -w 2>/dev/null || true
  exec 8>"$fdfile"
  Xvfb -displayfd 8 -screen 0 "$size" -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  exec 8>&-
  export DISPLAY=":$(tr -d '\n' <"$fdfile")"
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}

# Writes a PNG of the whole screen.
e2e_screenshot() {
  xwd -root -silent -display "$DISPLAY" | convert xwd:- "$1"
}

# Prints "R G B" (0-255) of one pixel of a PNG.
e2e_pixel() {  # file x y
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# Records one check: e2e_check "what" command...
e2e_check() {
  local what=$1; shift
  E2E_CHECKS=$((E2E_CHECKS + 1))
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; E2E_FAILURES=$((E2E_FAILURES + 1)); fi
}

# True when pixel (x, y) of a PNG is within tol levels of R G B.
e2e_pixel_near() {  # file x y r g b tol
  local got r g b
  got=$(e2e_pixel "$1" "$2" "$3")
  read -r r g b <<<"$got"
  local ok=0
  [ $(( (r - $4) < 0 ? $4 - r : r - $4 )) -le "$7" ] &&
  [ $(( (g - $5) < 0 ? $5 - g : g - $5 )) -le "$7" ] &&
  [ $(( (b - $6) < 0 ? $6 - b : b - $6 )) -le "$7" ] || ok=1
  [ $ok -eq 0 ] || echo "  pixel ($2,$3) of $(basename "$1") is $got, expected $4 $5 $6 +-$7" >&2
  return $ok
}

# Ends the test: exit status 1 when a check failed or none ran.
e2e_finish() {
  echo "$E2E_NAME: $((E2E_CHECKS - E2E_FAILURES)) of $E2E_CHECKS checks passed"
  # A failed check may come from Wine itself (a program that never started
  # prints nothing): its last words go into the test's output, since the
  # scratch folder is gone by the next run.
  if [ "$E2E_FAILURES" -gt 0 ] && [ -s "$E2E_TMP/wine.log" ]; then
    echo "--- last lines of $E2E_TMP/wine.log"
    tail -n 30 "$E2E_TMP/wine.log" || true
  fi
  [ "$E2E_CHECKS" -gt 0 ] && [ "$E2E_FAILURES" -eq 0 ]
}
