#!/usr/bin/env bash
# Background music, heard through ALSA's file plugin: everything a program
# plays lands in a file (32-bit float, stereo). With a 1 s test tone as
# variant B's music file, an 8 s show plays it at about a quarter of the
# amplitude the same file has at full volume (-12 dB), and again and again
# to the end of the show. With "background music" 0 nothing is heard; with
# the file missing, or no audio device at all, the show runs silently. Every
# show ends on a key with exit code 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
e2e_start_display 1024x768x24
show_install_data "" b
shot="$E2E_TMP/shot.png"
read -r rx ry < <(show_project -55 0 1 251)   # layer 1's red part in B's test scene
key='HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver'
music="$SHOW_SYSTEM32/QUORvelkbsrc/SleepyTime.mp3"

# The test track: 1 s of a 440 Hz sine.
sox -n -r 44100 -c 2 "$E2E_TMP/tone.wav" synth 1 sine 440
lame --quiet "$E2E_TMP/tone.wav" "$E2E_TMP/tone.mp3"
cp "$E2E_TMP/tone.mp3" "$music"

# A home whose .asoundrc sends all sound to the capture file; set for the
# program under test only.
home="$E2E_TMP/home"
capture="$E2E_TMP/capture.raw"
mkdir -p "$home"
cat >"$home/.asoundrc" <<ASOUND
pcm.!default { type file; slave.pcm "null"; file "$capture"; format "raw" }
ctl.!default { type hw card 0 }
ASOUND

# capture_peak FILE [FROM [TO]]: the largest float sample between byte
# offsets FROM and TO (the whole file by default); a missing file is silence.
capture_peak() {
  python3 - "$@" <<'PY'
import array, os, sys
path = sys.argv[1]
data = open(path, 'rb').read() if os.path.exists(path) else b''
lo = int(sys.argv[2]) if len(sys.argv) > 2 else 0
hi = int(sys.argv[3]) if len(sys.argv) > 3 else len(data)
lo -= lo % 8; hi -= hi % 8
a = array.array('f'); a.frombytes(data[lo:hi])
print("%.4f" % max(map(abs, a), default=0.0))
PY
}
size_of() { stat -c %s "$1" 2>/dev/null || echo 0; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
within() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(x >= lo && x <= hi) }'; }
set_music() { qv_wine reg add "$key" /v "background music" /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
music_setting_is() { qv_wine reg query "$key" /v "background music" 2>/dev/null | tr -d '\r' | grep -qE "REG_DWORD +0x$1\$"; }
silent() { awk -v p="$1" 'BEGIN { exit !(p < 0.0001) }'; }

# show_for SECONDS: starts B /t with the capture home, waits until it draws,
# records the capture's size at each further second in SIZES, ends it with a
# key and checks that it ended with code 0.
show_for() {
  local seconds=$1 i
  rm -f "$capture"
  HOME="$home" show_start B /t
  e2e_check "the show draws" show_wait_pixel "$shot" "$rx" "$ry" 255 0 0 3 30
  SIZES=()
  for ((i = 0; i < seconds; i++)); do sleep 1; SIZES+=("$(size_of "$capture")"); done
  e2e_check "the show is still running after ${seconds} s" show_running "$SHOW_PID"
  xdotool key space
  show_wait_exit "$SHOW_PID" 20
  e2e_check "a key ends it with code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
  show_stop "$SHOW_PID"
}

echo "--- the track at full volume, through the same player"
rm -f "$capture"
HOME="$home" timeout 60 "$(command -v wine64 || command -v wine)" "$QV_BUILD_DIR/tests/e2e/musicplay.exe" \
  'C:\WINDOWS\SYSTEM32\QUORvelkbsrc\SleepyTime.mp3' 0 2500 >"$E2E_TMP/musicplay.log" 2>&1 || true
full=$(capture_peak "$capture")
echo "  full-volume peak $full"
e2e_check "the reference player built a graph" grep -aq '^graph 1' "$E2E_TMP/musicplay.log"
e2e_check "the track is heard at full volume (peak $full)" above "$full" 0.3

echo "--- background music on"
set_music 1
show_for 8
peak=$(capture_peak "$capture")
ratio=$(awk -v p="$peak" -v f="$full" 'BEGIN { printf "%.3f", (f > 0 ? p / f : 0) }')
echo "  show peak $peak, $ratio of full volume ($(awk -v r="$ratio" 'BEGIN { if (r > 0) printf "%.1f", 20 * log(r) / log(10) }') dB)"
e2e_check "the show's music is heard" above "$peak" 0.02
e2e_check "at -12 dB: a quarter of the full-volume peak, +-1 dB (got $ratio)" within "$ratio" 0.224 0.282
# The tone lasts 1 s; the capture grows with the time played (SIZES[k] is
# its size k + 1 s after the show appeared). Sound in each second from the
# third to the eighth means it started again and again.
for i in 3 4 5 6 7; do
  p=$(capture_peak "$capture" "${SIZES[$((i - 1))]}" "${SIZES[$i]}")
  e2e_check "music $i to $((i + 1)) s after the show appeared (peak $p)" above "$p" 0.02
done

echo "--- background music off"
set_music 0
show_for 8
peak=$(capture_peak "$capture")
e2e_check "nothing is heard (peak $peak)" silent "$peak"
e2e_check "the setting stays 0" music_setting_is 0
set_music 1

echo "--- music file missing"
rm -f "$music"
show_for 4
peak=$(capture_peak "$capture")
e2e_check "nothing is heard (peak $peak)" silent "$peak"
cp "$E2E_TMP/tone.mp3" "$music"

echo "--- no audio device at all (Wine's audio drivers switched off)"
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
show_for 4
export WINEDLLOVERRIDES="mscoree,mshtml="

qv_wine reg delete "$key" /v "background music" /f >/dev/null 2>&1 || true
show_install_data
e2e_finish
