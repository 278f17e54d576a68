#!/usr/bin/env bash
# Installs the test data into the Wine prefix's variant data directories
# (drive_c/windows/system32/QUORvelk?src), replacing what is there.
# Usage: data/test/install-test-data.sh [MODE] [LETTERS]
#   MODE: as make-test-data.sh takes it ("" for the test scene);
#   LETTERS: the variants, default "a b c".
# The prefix is the one scripts/wine-env.sh names (QV_WINEPREFIX overrides).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../scripts/wine-env.sh"
mode=${1:-}
letters=${2:-a b c}
for v in $letters; do
  dir="$WINEPREFIX/drive_c/windows/system32/QUORvelk${v}src"
  rm -rf "$dir"
  bash "$here/make-test-data.sh" "$dir" "$mode"
done
