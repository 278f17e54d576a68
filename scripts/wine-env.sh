# Sourced by the scripts that run Windows programs: one Wine prefix for the
# project's tests, made on first use.
QV_ROOT="${QV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX="${QV_WINEPREFIX:-$QV_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64

qv_wine() {
  if command -v wine64 >/dev/null 2>&1; then wine64 "$@"; else wine "$@"; fi
}

qv_ensure_prefix() {
  if [ -f "$WINEPREFIX/.qv-ready" ]; then return 0; fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.qv-ready" ]; then
      echo "making the Wine prefix $WINEPREFIX" >&2
      DISPLAY= timeout 300 wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
      # A crash must never open the debugger dialog and hang a test.
      qv_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      wineserver -w || true
      touch "$WINEPREFIX/.qv-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}
