#!/usr/bin/env bash
# Our application framework under Wine, through two probe drivers: the
# application object's hooks and message loop (apploop), and the modal
# dialog base class (dialogprobe).
source "$(dirname "$0")/lib.sh"
e2e_start_display 1024x768x24
probe() {  # probe DRIVER
  timeout 120 "$(command -v wine64 || command -v wine)" "$QV_BUILD_DIR/tests/e2e/$1.exe" \
    2>/dev/null | tr -d '\r' | tee "$E2E_TMP/$1.log"
  return "${PIPESTATUS[0]}"
}
e2e_check "the application object runs its hooks and waits without spinning" probe apploop
e2e_check "apploop ran every check" grep -q '^0 failed$' "$E2E_TMP/apploop.log"
e2e_check "the dialog base class dispatches to its handlers" probe dialogprobe
e2e_check "dialogprobe ran every check" grep -q '^0 failed$' "$E2E_TMP/dialogprobe.log"
e2e_finish
