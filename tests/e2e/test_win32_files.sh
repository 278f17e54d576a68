#!/usr/bin/env bash
# The files port on the Windows file system (under Wine), through the
# filesprobe driver: whole writes, folders, search, rename, remove, streams.
source "$(dirname "$0")/lib.sh"
scratch="$WINEPREFIX/drive_c/qv-filesprobe"
rm -rf "$scratch"
mkdir -p "$scratch"
probe() {
  timeout 120 "$(command -v wine64 || command -v wine)" "$QV_BUILD_DIR/tests/e2e/filesprobe.exe" \
    'C:\qv-filesprobe\' 2>/dev/null | tr -d '\r' | tee "$E2E_TMP/probe.log"
  return "${PIPESTATUS[0]}"
}
e2e_check "the files port behaves on the Windows file system" probe
e2e_check "the probe ran every check" grep -q '^0 failed$' "$E2E_TMP/probe.log"
rm -rf "$scratch"
e2e_finish
