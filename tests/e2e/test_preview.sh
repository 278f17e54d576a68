#!/usr/bin/env bash
# The preview ("/p HWND"): the show plays in a child window filling HWND,
# and the program ends within 1 s once HWND is gone; "-p HWND" and
# "/p:HWND" do the same; a preview runs beside a show of the same variant.
# Wine 8 shows nothing of a child window inside another program's window,
# so the pixels are taken from a preview whose parent is the desktop of a
# 152 x 112 screen (there the child is a window of its own, at the size the
# display settings use). The preview only reads: a missing setting is not
# written and a missing converted bitmap is not rebuilt.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
host="$QV_BUILD_DIR/tests/e2e/previewhost.exe"
wine_bin="$(command -v wine64 || command -v wine)"
program="$(winepath -w "$SHOW_APP_DIR/quorvelb.scr" 2>/dev/null)"
show_install_data

# preview_host NAME ARGS...: runs the host driver, keeps its lines in
# $E2E_TMP/NAME.log; its status is the driver's.
preview_host() {
  local name=$1; shift
  local status=0
  timeout 60 "$wine_bin" "$host" "$program" "$@" >"$E2E_TMP/$name.log" 2>&1 || status=$?
  tr -d '\r' <"$E2E_TMP/$name.log" | grep -E '^(saver|child|started)' | sed 's/^/  /'
  return $status
}
logged() { tr -d '\r' <"$E2E_TMP/$1.log" | grep -qF "$2"; }

echo "--- pixels: the preview on a 152 x 112 screen"
e2e_start_display 152x112x24
# Test scene through the preview's camera: 152 x 112 is layout code 9,
# distance 206 for B; layer 1's red part lies at x = -55.
read -r rx ry < <(show_project -55 0 1 206 152 112)
preview_host pixels /p 9000 desktop &
driver=$!
shot="$E2E_TMP/preview.png"
e2e_check "the preview draws layer 1's red at ($rx, $ry)" show_wait_pixel "$shot" "$rx" "$ry" 255 0 0 3 20
# Layer 3 (magenta) slides across between 4 and 5 s and the script starts
# again at 6 s: screenshots over 6.5 s must not all look the same.
declare -A seen=()
for _ in $(seq 1 13); do
  e2e_screenshot "$shot"
  seen[$(convert "$shot" rgb:- | md5sum | cut -c1-32)]=1
  sleep 0.5
done
e2e_check "the preview moves (${#seen[@]} different pictures in 6.5 s)" test "${#seen[@]}" -ge 2
wait "$driver"; status=$?
e2e_check "the preview stayed while its window existed" test "$status" = 0
# A white screen, so black is the preview's own.
xsetroot -solid white
show_install_data noscript
preview_host black /p 4000 desktop &
driver=$!
sleep 3
e2e_screenshot "$shot"
e2e_check "without a scene script the preview paints its window black" \
  test "$(convert "$shot" -separate -append -format '%[max]' info:)" = 0
wait "$driver"; status=$?
e2e_check "and stays" test "$status" = 0
show_install_data
e2e_cleanup

echo "--- a host window of 152 x 112 beside a show"
e2e_start_display 1024x768x24
read -r bx by < <(show_project -55 0 1 251)
show_start B /t
show_pid=$SHOW_PID
e2e_check "B's show is up" show_wait_pixel "$shot" "$bx" "$by" 255 0 0 3 30
e2e_check "a preview of B beside it stays and ends within 1 s of its window" \
  preview_host space /p 3000 860 10
e2e_check "the preview's window fills the host, disabled" logged space "child window: QuorVelkPreviewB 152x112 disabled"
e2e_check "the show goes on" show_running "$show_pid"
xdotool key space
show_wait_exit "$show_pid" 15
show_stop "$show_pid"
for form in -p /p:; do
  e2e_check "'$form' previews and ends within 1 s of its window" preview_host form "$form" 1500 860 10
  e2e_check "'$form' fills the host" logged form "child window: QuorVelkPreviewB 152x112"
done
show_install_data noscript
e2e_check "without a scene script the preview still ends with its window" preview_host ended /p 1500 860 10
show_install_data

echo "--- the preview only reads"
user_folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation/QUOR VELK-B Screen Saver"
key='HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver'
had_folder=no; [ -d "$user_folder" ] && had_folder=yes
mkdir -p "$user_folder"
rm -f "$user_folder/photo1.bmp"
convert -size 64x48 xc:green "$WINEPREFIX/drive_c/qv-preview-source.jpg"
qv_wine reg delete "$key" /f >/dev/null 2>&1
qv_wine reg add "$key" /v photo_num /t REG_DWORD /d 1 /f >/dev/null
qv_wine reg add "$key" /v photo1 /t REG_SZ /f >/dev/null \
  /d "C:\\users\\$(id -un)\\AppData\\Roaming\\Tarn Corporation\\QUOR VELK-B Screen Saver\\photo1.bmp"
qv_wine reg add "$key" /v photo1_real /t REG_SZ /d 'C:\qv-preview-source.jpg' /f >/dev/null
no_value() { ! qv_wine reg query "$key" /v "$1" >/dev/null 2>&1; }
e2e_check "a preview with photo 1's bitmap gone plays and ends with its window" preview_host readonly /p 2500 860 10
e2e_check "it wrote no missing setting (trimming)" no_value trimming
e2e_check "it rebuilt no bitmap" test ! -e "$user_folder/photo1.bmp"
qv_wine reg delete "$key" /f >/dev/null 2>&1
rm -f "$WINEPREFIX/drive_c/qv-preview-source.jpg"
[ "$had_folder" = yes ] || rm -rf "$user_folder"

e2e_finish
