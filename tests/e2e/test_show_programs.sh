#!/usr/bin/env bash
# The three programs as built: Windows GUI programs named .scr, each with
# one manifest (resource 1 of type 24) that asks for per-monitor DPI
# awareness and common controls 6.
source "$(dirname "$0")/lib.sh"
for letter in a b c; do
  program="$QV_BUILD_DIR/app/quorvel$letter.scr"
  e2e_check "quorvel$letter.scr exists" test -s "$program"
  e2e_check "quorvel$letter.scr is a GUI program" \
    bash -c "x86_64-w64-mingw32-objdump -p '$program' | grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]'"
  rc="$E2E_TMP/quorvel$letter.rc"
  x86_64-w64-mingw32-windres -i "$program" -O rc -o "$rc" 2>/dev/null || : >"$rc"
  e2e_check "quorvel$letter.scr has exactly one manifest" test "$(grep -c '^1 24 /\* RT_MANIFEST \*/' "$rc")" = 1
  e2e_check "its manifest asks for per-monitor DPI awareness" grep -q 'PerMonitorV2' "$rc"
  e2e_check "its manifest asks for common controls 6" \
    grep -q 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' "$rc"
done
e2e_finish
