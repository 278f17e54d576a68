#!/usr/bin/env bash
# Runs a Windows program of ours under Wine with the project's prefix.
# Usage: scripts/wine-run.sh program.exe [arguments...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
qv_ensure_prefix
exec timeout "${QV_WINE_TIMEOUT:-600}" "$(command -v wine64 || command -v wine)" "$@"
