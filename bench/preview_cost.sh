#!/usr/bin/env bash
# What the preview costs under Wine (not part of the test command).
# On a 152 x 112 Xvfb, variant B's preview ("/p" with the desktop window, so
# its frames reach the screen; see tests/e2e/test_preview.sh) plays a scene
# of 21 layers moving for 30 s. Over QV_BENCH_SECONDS (default 20) seconds:
#   1. processor share of one core: the program's own, and with the wine
#      server's (target: under 3 %),
#   2. frames presented a second, counted from Direct3D's trace in a second
#      run (tracing costs time, so it is not the run measured in 1; target:
#      at most 10).
# The program asks Wine's Direct3D to draw without its command-stream
# thread, which spins after every frame; WINE_D3D_CONFIG=csmt=1 in the
# environment keeps that thread, to measure what it costs.
# Usage: bench/preview_cost.sh   (QV_BUILD_DIR: the Windows build, default build/win64)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QV_BUILD_DIR:-$root/build/win64}"
seconds="${QV_BENCH_SECONDS:-20}"
source "$root/scripts/wine-env.sh"
qv_ensure_prefix
wine_bin="$(command -v wine64 || command -v wine)"
out="$build/bench-preview"
mkdir -p "$out"
hz=$(getconf CLK_TCK)

source "$root/bench/bench-lib.sh"
bench_display 152x112x24 "$out"
timeout 60 wineserver -w 2>/dev/null || true


cmake --build "$build" --target quorvelb previewhost >/dev/null
program="$build/app/quorvelb.scr"
host="$build/tests/e2e/previewhost.exe"
bash "$root/data/test/install-test-data.sh" "${QV_BENCH_DATA:-moving21}" b

# The preview lives for the warm-up (4 s) and the measured window.
"$wine_bin" "$host" "$(winepath -w "$program")" /p $(( (seconds + 6) * 1000 )) desktop >"$out/host.log" 2>&1 &
driver=$!
sleep 4
pid=$(pid_of "quorvelb\.scr" previewhost)
server=$(server_of_prefix)
[ -n "$pid" ] || { echo "the preview did not start" >&2; exit 1; }
p0=$(ticks_of "$pid"); s0=$(ticks_of "${server:-0}")
sleep "$seconds"
p1=$(ticks_of "$pid"); s1=$(ticks_of "${server:-0}")
[ "$s1" -ge "$s0" ] || s1=$s0
wait "$driver" || true

# Frames: one trace line per present, over the same length of time.
WINEDEBUG=trace+d3d "$wine_bin" "$host" "$(winepath -w "$program")" /p $(( (seconds + 4) * 1000 )) desktop \
  >"$out/trace.log" 2>&1 &
driver=$!
sleep 4
before=$(grep -c 'wined3d_swapchain_present' "$out/trace.log" || true)
sleep "$seconds"
after=$(grep -c 'wined3d_swapchain_present' "$out/trace.log" || true)
wait "$driver" || true
bash "$root/data/test/install-test-data.sh" "" b

awk -v a=$((p1 - p0)) -v b=$((s1 - s0)) -v hz="$hz" -v s="$seconds" -v f=$((after - before)) \
    -v csmt="$([ -n "${WINE_D3D_CONFIG:-}" ] && echo ", WINE_D3D_CONFIG=$WINE_D3D_CONFIG")" 'BEGIN {
  printf "preview 152 x 112, 21 moving layers, over %d s%s\n", s, csmt
  printf "processor: %5.2f %% of one core (program), %5.2f %% (with the wine server)  (target < 3 %%)\n", 100 * a / hz / s, 100 * (a + b) / hz / s
  printf "frames:    %5.2f a second  (target <= 10)\n", f / s
}' | tee "$out/result.txt"
