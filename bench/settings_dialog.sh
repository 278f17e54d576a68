#!/usr/bin/env bash
# How quickly the settings dialog of variant B opens and does its work under
# Wine, and how long its window ever leaves a message unanswered (not part of
# the test command). On a 1024 x 768 Xvfb of its own, with the real data
# directory, QV_BENCH_RUNS (default 5) times, it reports the median, least
# and most of:
#   - opened: from the process's start to the dialog up and answering,
#   - filled: from there to the ten thumbnails listed,
#   - delete: Delete of slot 10 (after its confirmation) to the list redrawn,
#   - add: Add of a 24-megapixel JPEG (5000 x 4800) to its thumbnail,
#   - exchange: Exchange of slot 2 for a 640 x 480 JPEG to the list redrawn,
#   - initialize: Initialize (after its confirmation) to ten thumbnails,
#   - unanswered: the longest stretch without an answer over all of that, the
#     dialog asked all the while with 100 ms to answer.
# The first opening of a new user (ten stills converted) is timed once.
# Targets: opened under 0.5 s, add under 1.0 s, initialize under 2.0 s,
# delete and exchange under 0.3 s, nothing unanswered for 100 ms.
# Usage: bench/settings_dialog.sh   (QV_BUILD_DIR: the Windows build, default build/win64)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QV_BUILD_DIR:-$root/build/win64}"
runs="${QV_BENCH_RUNS:-5}"
source "$root/scripts/wine-env.sh"
qv_ensure_prefix
wine_bin="$(command -v wine64 || command -v wine)"
out="$build/bench-dialog"
mkdir -p "$out"
source "$root/bench/bench-lib.sh"
bench_display 1024x768x24 "$out"

cmake --build "$build" --target quorvelb settingsdriver >/dev/null
bash "$root/data/install-data.sh" "b" >/dev/null
folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation/QUOR VELK-B Screen Saver"
key='HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver'
[ -f "$out/photo24.jpg" ] || convert -size 5000x4800 plasma:fractal -quality 90 "$out/photo24.jpg"
[ -f "$out/small.jpg" ] || convert -size 640x480 plasma:fractal -quality 90 "$out/small.jpg"
winpath() { echo "Z:${1//\//\\}"; }
big=$(winpath "$out/photo24.jpg")
small=$(winpath "$out/small.jpg")
timeout 60 wineserver -w 2>/dev/null || true
wineserver -p 600 2>/dev/null || true

# drive COMMAND...: the driver's lines in OUT.
drive() { OUT=$(timeout 300 "$wine_bin" "$build/tests/e2e/settingsdriver.exe" B "$@" 2>/dev/null | tr -d '\r'); }
ms() { sed -n "s/^$1: \([0-9]*\) ms$/\1/p" <<<"$OUT" | head -n 1; }
longest() { sed -n 's/^longest unanswered: \([0-9]*\) ms$/\1/p' <<<"$OUT" | sort -n | tail -n 1; }
open() { "$wine_bin" "$build/app/quorvelb.scr" /c >/dev/null 2>&1 & pid=$!; }
close() { drive click cancel closed; wait "$pid" 2>/dev/null || true; }

declare -A seen
note() { seen[$1]+="$2 "; }
report() {  # name target
  local sorted
  sorted=$(tr ' ' '\n' <<<"${seen[$1]}" | sed '/^$/d' | sort -n)
  printf '%-11s median %5s ms  least %5s  most %5s  (target %s)\n' "$1" \
    "$(sed -n "$(( ($(wc -l <<<"$sorted") + 1) / 2 ))p" <<<"$sorted")" "$(head -n 1 <<<"$sorted")" \
    "$(tail -n 1 <<<"$sorted")" "$2"
}

rm -rf "$folder"
"$wine_bin" reg delete "$key" /f >/dev/null 2>&1 || true
open
drive opening probe
echo "first opening of a new user: opened $(ms opened) ms, ten stills converted and listed $(ms took) ms later"
close

for run in $(seq 1 "$runs"); do
  open
  drive opening probe
  note opened "$(ms opened)"
  note filled "$(ms took)"
  note unanswered "$(longest)"
  drive select 9 click delete answer first probe
  note delete "$(ms took)"
  note unanswered "$(longest)"
  drive click add pick "$big" probe
  note add "$(ms took)"
  note unanswered "$(longest)"
  drive select 1 click exchange pick "$small" probe
  note exchange "$(ms took)"
  note unanswered "$(longest)"
  drive click initialize answer first probe
  note initialize "$(ms took)"
  note unanswered "$(longest)"
  close
done

echo "settings dialog of variant B, $runs runs:"
report opened "0.5 s"
report filled "-"
report delete "0.3 s"
report add "1.0 s"
report exchange "0.3 s"
report initialize "2.0 s"
report unanswered "100 ms"
