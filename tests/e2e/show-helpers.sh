# Helpers for the show tests; source after lib.sh.
# The programs come from $QV_BUILD_DIR/app, the test data from data/test.

SHOW_APP_DIR="$QV_BUILD_DIR/app"
SHOW_SYSTEM32="$WINEPREFIX/drive_c/windows/system32"
SHOW_PID=""

# Installs the test data directory of every variant into the prefix.
# show_install_data [noscript]
show_install_data() {
  bash "$QV_SOURCE_DIR/data/test/install-test-data.sh" "${1:-}"
}

# Starts a program in the background: show_start LETTER ARGS...; sets SHOW_PID.
show_start() {
  local letter=$1; shift
  local program="$SHOW_APP_DIR/quorvel$(echo "$letter" | tr 'A-Z' 'a-z').scr"
  timeout 120 "$(command -v wine64 || command -v wine)" "$program" "$@" \
    >>"$E2E_TMP/wine.log" 2>&1 &
  SHOW_PID=$!
}

# True while the process runs.
show_running() { kill -0 "$1" 2>/dev/null; }

# Waits up to SECONDS for the process to end and sets SHOW_CODE to its exit
# code, or to "running" when it has not ended: show_wait_exit PID SECONDS.
# (Not in a command substitution: only this shell can collect its children.)
show_wait_exit() {
  local pid=$1 limit=$2 i
  SHOW_CODE=running
  for ((i = 0; i < limit * 10; i++)); do
    if ! show_running "$pid"; then
      SHOW_CODE=0
      wait "$pid" 2>/dev/null || SHOW_CODE=$?
      return 0
    fi
    sleep 0.1
  done
}

# Ends a program that is still running, without caring how.
show_stop() {
  local pid=$1
  if show_running "$pid"; then kill "$pid" 2>/dev/null || true; fi
  wait "$pid" 2>/dev/null || true
}

# Screen position of a world point in a show window at (0, 0):
# show_project X Y LAYER DISTANCE [WIDTH HEIGHT] prints "px py"; the window
# is the 800 x 600 test window unless WIDTH and HEIGHT say otherwise.
# The camera looks from (0, 0, d) at the origin with a vertical field of view
# of pi/4 and the window's aspect; a layer lies at z = 14 + layer x 0.0625.
# At depth D = d - z the window's half height (H/2 pixels) spans D tan(pi/8)
# world units and its half width D tan(pi/8) x W/H, so one unit is
# (H/2) / (D tan(pi/8)) pixels either way; y grows upward, rows downward.
show_project() {
  awk -v x="$1" -v y="$2" -v layer="$3" -v d="$4" -v w="${5:-800}" -v h="${6:-600}" 'BEGIN {
    t = 0.41421356237;                 # tan(pi/8)
    D = d - (14 + layer * 0.0625);
    s = (h / 2) / (D * t);
    printf "%d %d\n", int(w / 2 + x * s + 0.5), int(h / 2 - y * s + 0.5)
  }'
}

# Waits up to SECONDS until pixel (X, Y) is within TOL of R G B; the last
# screenshot is left in FILE: show_wait_pixel FILE X Y R G B TOL SECONDS
show_wait_pixel() {
  local file=$1 x=$2 y=$3 r=$4 g=$5 b=$6 tol=$7 limit=$8 start=$SECONDS
  while :; do
    e2e_screenshot "$file"
    if e2e_pixel_near "$file" "$x" "$y" "$r" "$g" "$b" "$tol" 2>/dev/null; then return 0; fi
    if (( SECONDS - start >= limit )); then return 1; fi
    sleep 0.3
  done
}
