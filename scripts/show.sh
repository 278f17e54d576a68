#!/usr/bin/env bash
# Builds one variant (B unless QV_VARIANT says a or c) and runs its show
# under Wine with the variant's real data directory (data/make-data.sh).
#   With $DISPLAY set: the show plays in an 800 x 600 window ("/t") until a
#   key, a click or a mouse move ends it.
#   Without: it plays headless in an Xvfb of its own for QV_SHOW_SECONDS
#   (default 10) seconds, and a screenshot a second goes to the folder named
#   at the end (build/show-shots, or QV_SHOW_SHOTS). QV_SHOW_SCREEN sets the Xvfb screen
#   (default 1024x768) and QV_SHOW_ARG the switch (default /t; /s plays
#   full screen).
# The user's picture folder of that variant is removed first, so the show
# starts as on a new machine: it converts the variant's ten default stills
# (QV_SHOW_KEEP_PICTURES=1 keeps the folder and the list as they are).
# Usage: scripts/show.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${QV_BUILD_DIR:-$root/build/win64}"
seconds="${QV_SHOW_SECONDS:-10}"
v="$(echo "${QV_VARIANT:-b}" | tr 'ABC' 'abc')"
case "$v" in a|b|c) ;; *) echo "QV_VARIANT must be a, b or c" >&2; exit 2 ;; esac
V="$(echo "$v" | tr 'abc' 'ABC')"
screen="${QV_SHOW_SCREEN:-1024x768}"
arg="${QV_SHOW_ARG:-/t}"

bash scripts/install-deps.sh
source scripts/wine-env.sh
qv_ensure_prefix

echo "building quorvel$v.scr in $build" >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$build" --target "quorvel$v" -j "${QV_JOBS:-$(nproc)}"

datadir="$WINEPREFIX/drive_c/windows/system32/QUORvelk${v}src"
echo "installing the variant data directory into $datadir" >&2
bash data/install-data.sh "$v"
if [ "${QV_SHOW_KEEP_PICTURES:-0}" != 1 ]; then
  rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation/QUOR VELK-$V Screen Saver"
fi

wine_bin="$(command -v wine64 || command -v wine)"
if [ -n "${DISPLAY:-}" ]; then
  echo "the show runs in an 800 x 600 window; a key, a click or a mouse move ends it" >&2
  exec "$wine_bin" "$build/app/quorvel$v.scr" "$arg"
fi

shots="${QV_SHOW_SHOTS:-$root/build/show-shots}"
rm -rf "$shots"
mkdir -p "$shots"
fdfile="$shots/.displayfd"
exec 8>"$fdfile"
Xvfb -displayfd 8 -screen 0 "${screen}x24" -nolisten tcp >"$shots/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$show" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
exec 8>&-
export DISPLAY=":$(tr -d '\n' <"$fdfile")"
rm -f "$fdfile"

echo "the show runs headless on $DISPLAY for $seconds s" >&2
"$wine_bin" "$build/app/quorvel$v.scr" "$arg" >"$shots/wine.log" 2>&1 &
show=$!
for i in $(seq 1 "$seconds"); do
  sleep 1
  xwd -root -silent -display "$DISPLAY" | convert xwd:- "$shots/shot-$(printf '%02d' "$i").png"
done
xdotool key space
for _ in $(seq 1 100); do kill -0 "$show" 2>/dev/null || break; sleep 0.1; done
echo "screenshots: $shots" >&2
