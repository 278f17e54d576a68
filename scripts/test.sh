#!/usr/bin/env bash
# The one test command: installs what it needs, builds the native, Windows,
# sanitizer and fuzzing builds, and runs every test. Exits non-zero on any
# failure. Usage: scripts/test.sh
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
start=$(date +%s)
jobs="${QV_JOBS:-$(nproc)}"

bash scripts/install-deps.sh || { echo "installing packages failed"; exit 1; }
source scripts/wine-env.sh
qv_ensure_prefix

fail=0
step() {  # step NAME command...
  echo "=== $1"
  shift
  "$@" || { echo "*** failed: $*"; fail=1; return 1; }
}

configure() { cmake --preset "$1" >/dev/null; }

# The four builds are CMakePresets.json's: native, windows, sanitizers, fuzz.
for preset in native windows sanitizers fuzz; do
  step "configure $preset" configure "$preset"
  step "build $preset" cmake --build --preset "$preset" -j "$jobs"
done

passed=0
failed=0
count_ctest() {  # adds a ctest log's counts to the totals
  local line total bad
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

run_ctest() {  # run_ctest NAME DIR [ctest args...]
  local name=$1 dir=$2; shift 2
  echo "=== tests: $name"
  local log="$root/build/ctest-$name.log"
  if [ ! -f "$dir/CTestTestfile.cmake" ]; then
    echo "no test tree in $dir"; failed=$((failed + 1)); fail=1; return
  fi
  ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log" | grep -v -E '^\s+(Start|[0-9]+/[0-9]+ Test)' || true
  grep -q '100% tests passed' "$log" || fail=1
  count_ctest "$log"
}

run_ctest native build/native -j "$jobs"
run_ctest windows build/win64
run_ctest sanitizers build/asan -j "$jobs"

# clang-tidy (.clang-tidy) over the portable code: one test, failed by any warning.
echo "=== clang-tidy"
if bash scripts/clang-tidy.sh build/native "$jobs" >build/clang-tidy.log 2>&1; then
  tail -n 1 build/clang-tidy.log; passed=$((passed + 1))
else
  echo "clang-tidy: FAILED"; tail -n 60 build/clang-tidy.log
  failed=$((failed + 1)); fail=1
fi

# Fuzzing: every target for a bounded time under AddressSanitizer.
echo "=== fuzzing"
fuzz_seconds="${QV_FUZZ_SECONDS:-60}"
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="build/fuzz-corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/corpus/${name#fuzz_}"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  if "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
       "${args[@]}" >"build/$name.log" 2>&1; then
    echo "fuzz $name: ok ($(grep -c '' "build/$name.log") log lines)"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED"; tail -n 40 "build/$name.log"
    failed=$((failed + 1)); fail=1
  fi
done

echo "=== took $(( $(date +%s) - start )) s"
echo "Summary: $passed passed, $failed failed"
exit $fail
