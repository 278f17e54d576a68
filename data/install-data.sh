#!/usr/bin/env bash
# Installs the real variant data directories into the Wine prefix's
# drive_c/windows/system32/QUORvelk?src, replacing what is there; builds them
# first with data/make-data.sh (quick when nothing changed).
# Usage: data/install-data.sh [LETTERS]
#   LETTERS: the variants, default "a b c".
# The prefix is the one scripts/wine-env.sh names (QV_WINEPREFIX overrides).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../scripts/wine-env.sh"
letters=${1:-a b c}
built="$QV_ROOT/build/data"
upper=$(echo "$letters" | tr 'abc' 'ABC')
bash "$here/make-data.sh" "$built" "$upper"
for v in $letters; do
  v=$(echo "$v" | tr 'ABC' 'abc')
  V=$(echo "$v" | tr 'abc' 'ABC')
  dir="$WINEPREFIX/drive_c/windows/system32/QUORvelk${v}src"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp -r "$built/$V/." "$dir/"
  rm -f "$dir/.music-stamp"
done
