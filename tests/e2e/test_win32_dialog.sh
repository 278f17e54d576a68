#!/usr/bin/env bash
# The modal dialog base class under Wine, through the dialogprobe driver:
# OnInitDialog, OnCommand, OnOK, OnCancel and DoModal's result.
source "$(dirname "$0")/lib.sh"
e2e_start_display 1024x768x24
probe() {
  timeout 120 "$(command -v wine64 || command -v wine)" "$QV_BUILD_DIR/tests/e2e/dialogprobe.exe" \
    2>/dev/null | tr -d '\r' | tee "$E2E_TMP/probe.log"
  return "${PIPESTATUS[0]}"
}
e2e_check "the dialog base class dispatches to its handlers" probe
e2e_check "the probe ran every check" grep -q '^0 failed$' "$E2E_TMP/probe.log"
e2e_finish
