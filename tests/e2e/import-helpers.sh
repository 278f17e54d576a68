# Helpers for the photo import and message tests; source after lib.sh.
# The driver program qvimport runs the import with the real Windows adapters
# (see drivers/qvimport_win32.cpp); the pictures come from pictures/.
source "$QV_SOURCE_DIR/tests/e2e/pictures/make-pictures.sh"
IMPORT_EXE="$QV_BUILD_DIR/tests/e2e/qvimport.exe"
IMPORT_PICS="$QV_BUILD_DIR/e2e-pictures"
IMPORT_APP_DIR="$QV_BUILD_DIR/app"
IMPORT_OUT=""

import_setup() {
  qv_make_pictures "$IMPORT_PICS"
}

# The Windows spelling of a host path (Wine's drive Z: is the host's root).
import_winpath() {
  local p=$1
  printf 'Z:%s' "${p//\//\\}"
}

# Runs the driver; its output (without carriage returns) lands in IMPORT_OUT
# and its exit code in IMPORT_CODE. The code is 0 whatever the import's
# result: anything else means the driver broke or crashed.
import_run() {
  IMPORT_CODE=0
  IMPORT_OUT=$(timeout 300 "$(command -v wine64 || command -v wine)" "$IMPORT_EXE" "$@" 2>>"$E2E_TMP/wine.log" |
    tr -d '\r') || IMPORT_CODE=$?
  printf '%s\n' "$IMPORT_OUT" >>"$E2E_TMP/driver.log"
}

# True when the last run printed this exact line.
import_said() { grep -qxF -- "$1" <<<"$IMPORT_OUT"; }

# The value after "key: " in the last run's output.
import_value() { sed -n "s/^$1: //p" <<<"$IMPORT_OUT" | head -n 1; }

# Messages the last run recorded, space-separated ("" when none).
import_messages() { sed -n 's/^message: //p' <<<"$IMPORT_OUT" | tr '\n' ' ' | sed 's/ $//'; }

# "W H" of a picture file.
picture_size() { identify -format '%w %h' "$1" 2>/dev/null; }

# Little-endian unsigned field of a file: field FILE OFFSET BYTES.
field() { od -An -t "u$3" -j "$2" -N "$3" --endian=little "$1" | tr -d ' '; }

# True when the four quadrant centres of a picture have the block colours.
quadrants_match() {  # file tolerance
  local w h
  read -r w h < <(picture_size "$1")
  e2e_pixel_near "$1" $((w / 4)) $((h / 4)) $QV_TL "$2" &&
    e2e_pixel_near "$1" $((3 * w / 4)) $((h / 4)) $QV_TR "$2" &&
    e2e_pixel_near "$1" $((w / 4)) $((3 * h / 4)) $QV_BL "$2" &&
    e2e_pixel_near "$1" $((3 * w / 4)) $((3 * h / 4)) $QV_BR "$2"
}

# True when a file is the 24-bit bottom-up BMP of W x H we write: the 54
# header bytes field by field and the size they promise.
bmp_is() {  # file W H
  local f=$1 w=$2 h=$3 row data
  row=$(( (w * 3 + 3) / 4 * 4 ))
  data=$(( row * h ))
  [ "$(head -c 2 "$f")" = BM ] &&
    [ "$(field "$f" 2 4)" = $((data + 54)) ] && [ "$(field "$f" 6 4)" = 0 ] &&
    [ "$(field "$f" 10 4)" = 54 ] && [ "$(field "$f" 14 4)" = 40 ] &&
    [ "$(field "$f" 18 4)" = "$w" ] && [ "$(field "$f" 22 4)" = "$h" ] &&
    [ "$(field "$f" 26 2)" = 1 ] && [ "$(field "$f" 28 2)" = 24 ] &&
    [ "$(field "$f" 30 4)" = 0 ] && [ "$(field "$f" 34 4)" = "$data" ] &&
    [ "$(field "$f" 38 4)" = 0 ] && [ "$(field "$f" 42 4)" = 0 ] &&
    [ "$(field "$f" 46 4)" = 0 ] && [ "$(field "$f" 50 4)" = 0 ] &&
    [ "$(stat -c %s "$f")" = $((data + 54)) ] || {
    echo "  $(basename "$f") is not the $w x $h BMP we write: $(picture_size "$f"), $(stat -c %s "$f" 2>/dev/null) bytes" >&2
    return 1
  }
}

# The last run's outcome line: accepted, rejected, success or failure.
import_result() { grep -m 1 -xE 'accepted|rejected|success|failure' <<<"$IMPORT_OUT" || true; }

# Runs the driver in the background, its output going to a file:
# import_start OUTFILE ARGS...; sets IMPORT_PID.
import_start() {
  local file=$1; shift
  timeout 120 "$(command -v wine64 || command -v wine)" "$IMPORT_EXE" "$@" 2>>"$E2E_TMP/wine.log" >"$file" &
  IMPORT_PID=$!
}

# Waits up to SECONDS until FILE holds a line matching PATTERN.
import_wait_line() {  # file pattern seconds
  local i
  for ((i = 0; i < $3 * 10; i++)); do
    [ -f "$1" ] && tr -d '\r' <"$1" | grep -qE "$2" && return 0
    sleep 0.1
  done
  return 1
}
