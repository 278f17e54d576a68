# Shared by the benchmark scripts that run our programs under Wine; source it
# after scripts/wine-env.sh.

# bench_display SIZE OUT: starts an Xvfb of its own (SIZE such as 1024x768x24,
# its log in OUT), exports DISPLAY and stops it when the script exits.
bench_display() {
  local fdfile="$2/displayfd"
  exec 8>"$fdfile"
  Xvfb -displayfd 8 -screen 0 "$1" -nolisten tcp >"$2/xvfb.log" 2>&1 &
  bench_xvfb=$!
  trap 'kill "$bench_xvfb" 2>/dev/null || true' EXIT
  for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  exec 8>&-
  export DISPLAY=":$(tr -d '\n' <"$fdfile")"
}

# bench_places: where B's program keeps its things in the prefix: system32,
# the per-user folder (appdata, appdata_win as the program spells it) and
# the registry key of its settings.
bench_places() {
  system32="$WINEPREFIX/drive_c/windows/system32"
  appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation"
  appdata_win='C:\users\'"$(id -un)"'\AppData\Roaming\Tarn Corporation'
  key='HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver'
}

# bench_launch LOG COMMAND...: runs COMMAND with Wine's debug lines and their
# times (WINEDEBUG=+timestamp,+debugstr) in LOG, after writing the clock
# those times count on (CLOCK_MONOTONIC_RAW) to "$out/start". QV_TRACE adds
# channels, to see where a start's time goes (",+pid,+d3d,+loaddll").
bench_launch() {
  local log=$1
  shift
  WINEDEBUG=+timestamp,+debugstr${QV_TRACE:-} python3 -c '
import os, sys, time
sys.stdout.write("%.3f\n" % time.clock_gettime(time.CLOCK_MONOTONIC_RAW))
sys.stdout.flush()
os.execvp(sys.argv[1], sys.argv[1:])' "$@" >"$out/start" 2>"$log"
}

# Clock ticks of user + system time of a process (0 when it is gone).
ticks_of() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

# pid_of PATTERN [SKIP]: the Linux process running a Windows program, found by
# its full path and this prefix (other people's shows on the machine are not
# ours); command lines matching SKIP (a grep pattern: the launchers) are not.
pid_of() { { pgrep -f "$1" || true; } | while read -r p; do
  if [ "$(tr '\0' ' ' <"/proc/$p/cmdline" | grep -c -e timeout -e "${2:-timeout}")" = 0 ] &&
     tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
    echo "$p"; break
  fi; done; }

# The wine server of this prefix: it runs in a folder named after the
# prefix's device and inode.
server_of_prefix() {
  local want p
  want="server-$(stat -c '%D' "$WINEPREFIX")-$(printf '%x' "$(stat -c '%i' "$WINEPREFIX")")"
  for p in $(pgrep -u "$(id -u)" -x 'wineserver|wineserver64' || true); do
    case "$(readlink "/proc/$p/cwd" 2>/dev/null)" in */"$want") echo "$p"; return ;; esac
  done
}

# bench_photos DIR STILLS: ten 6000 x 4000 photos photo1.jpg .. photo10.jpg in
# DIR, made once from the default stills still1.jpg .. still10.jpg in STILLS.
bench_photos() {
  local n
  [ -f "$1/.made" ] && return 0
  mkdir -p "$1"
  for n in $(seq 1 10); do
    convert "$2/still$n.jpg" -resize '6000x4000!' -quality 90 "$1/photo$n.jpg"
  done
  touch "$1/.made"
}

# bench_convert V PHOTOS FOLDER FOLDER_WIN LOG: the ten photos of PHOTOS
# converted for variant V by the program's own conversion (qvimport, in
# $build/tests/e2e) into FOLDER (FOLDER_WIN: the same as Windows sees it,
# ending in a backslash), its output appended to LOG. The converted files
# are kept in PHOTOS/converted-V and used again while the converter is the
# same build.
bench_convert() {
  local v=$1 photos=$2 folder=$3 folder_win=$4 log=$5 n kept stamp
  kept="$photos/converted-$v"
  stamp=$(md5sum <"$build/tests/e2e/qvimport.exe" | cut -d' ' -f1)
  rm -rf "$folder"
  mkdir -p "$folder"
  if [ "$(cat "$kept/.made" 2>/dev/null)" = "$stamp" ]; then
    cp "$kept"/photo*.bmp "$folder/"
    return
  fi
  for n in $(seq 1 10); do
    timeout 300 "$wine_bin" "$build/tests/e2e/qvimport.exe" convert "$v" "Z:${photos//\//\\}\\photo$n.jpg" \
      "$n" "$folder_win" --silent 2>/dev/null | tr -d '\r' >>"$log" || true  # a failed one shows as a missing picture
  done
  rm -rf "$kept"
  mkdir -p "$kept"
  cp "$folder"/photo*.bmp "$kept/" 2>/dev/null || true
  echo "$stamp" >"$kept/.made"
}
