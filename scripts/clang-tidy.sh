#!/usr/bin/env bash
# clang-tidy with the checks of .clang-tidy over the portable code: every
# .cpp of the portable folders, the fakes, the host files and qvtool, except
# the Windows files (*_win32.cpp). Needs a configured native build for its
# compile_commands.json. Prints every warning and a last line with their
# count; exits non-zero on any warning.
# Usage: scripts/clang-tidy.sh [BUILD_DIR [JOBS]]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${1:-build/native}"
jobs="${2:-$(nproc)}"
tidy="$(command -v clang-tidy-14 || command -v clang-tidy)" || { echo "clang-tidy is not installed"; exit 1; }
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json"; exit 1; }

start=$(date +%s)
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
# Largest files first, so the last job to finish is a short one.
find variant text image scene settings library render show app platform/fake platform/host tools \
     -name '*.cpp' ! -name '*_win32.cpp' -printf '%s %p\n' | sort -rn | cut -d' ' -f2- |
  xargs -P "$jobs" -n 1 "$tidy" -p "$build" --quiet >"$log" 2>&1
status=$?
# A warning and its source lines; headers shared by several files once.
grep -v -E '^([0-9]+ warnings? generated|Suppressed [0-9]+ warnings|Use -header-filter)' "$log" |
  awk '/^[^ ].*: (warning|error): / { keep = !seen[$0]++ } keep'
warnings=$(grep -E '^[^ ].*: (warning|error): ' "$log" | sort -u | wc -l)
echo "clang-tidy: $warnings warnings in $(( $(date +%s) - start )) s"
[ "$warnings" -eq 0 ] && [ "$status" -eq 0 ]
