#!/usr/bin/env bash
# Names in any language under Wine. First the adapters on their own
# (drivers/wideprobe_win32.cpp). Then, through the settings dialog, Exchange
# puts a picture from the folder "Zdjęcia 写真 사진" named "żółw 🐢.jpg" in
# slot 1; its bitmap, the store and the next show follow, where a script
# written in the ANSI code page names a bitmap "café.bmp". Then the same with
# the user's application-data folder redirected into such a folder (Wine
# makes no user of such a name here: "User Shell Folders\AppData" says where
# the folder is), so the per-user picture folder's own path holds them too.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
source "$(dirname "$0")/import-helpers.sh"
source "$(dirname "$0")/settings-helpers.sh"
e2e_start_display 1024x768x24
export LANG=C.UTF-8 LC_ALL=C.UTF-8
shell='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
restore_prefix() {
  qv_wine reg add "$shell" /v AppData /t REG_EXPAND_SZ /d '%USERPROFILE%\AppData\Roaming' /f >/dev/null 2>&1 || true
  e2e_cleanup
}
trap restore_prefix EXIT
show_install_data

user=$(id -un)
key='HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver'
folder_name='Zdjęcia 写真 사진'
turtle_dir="$E2E_TMP/$folder_name"
mkdir -p "$turtle_dir"
turtle="$turtle_dir/żółw 🐢.jpg"
convert -size 640x480 xc:'rgb(200,40,160)' -quality 95 "$turtle"
turtle_win=$(import_winpath "$turtle")

# The show: one layer in the middle asking for the first picture.
scenes() {  # LAYER_FILE LINES: the one scene of both script folders
  local dir
  for dir in normal wide; do
    printf 'effect=photo\nscenetime=0\nscript=.\\%s\nend\n' "$1" >"$SHOW_SYSTEM32/QUORvelkbsrc/$dir/scenescript.txt"
    printf "$2" >"$SHOW_SYSTEM32/QUORvelkbsrc/$dir/$1"
  done
}
scenes still_pictures.txt 'set\nlayer=1\nsource=.\\STILL1.JPG\nsx=0\nsy=0\nswidth=120\nsheight=90\nend\n'
read -r cx cy < <(show_project 0 0 1 251)

# One value of the store as "reg export" writes it (UTF-16, so nothing of
# the name is lost on the way to this shell): value NAME.
value() {
  rm -f "$E2E_TMP/key.reg"
  qv_wine reg export "$key" 'Z:'"${E2E_TMP//\//\\}"'\key.reg' /y >/dev/null 2>&1
  iconv -f UTF-16LE -t UTF-8 "$E2E_TMP/key.reg" | tr -d '\r' | sed -n "s/^\"$1\"=\"\(.*\)\"$/\1/p" | sed 's/\\\\/\\/g'
}

# Exchange slot 1 for the turtle, OK, then the show: run ROAMING FOLDER_WIN LABEL.
run() {
  roaming=$1
  local folder="$1/QUOR VELK-B Screen Saver" folder_win=$2 label=$3
  reset_user B
  open_dialog /c
  drive select 0 click exchange pick "$turtle_win" idle state
  e2e_check "$label: no message, ten pictures" test -z "$(grep '^message: ' <<<"$OUT")"
  e2e_check "$label: ten thumbnails" said "items: 10"
  close_dialog ok
  e2e_check "$label: photo1_real names the picture" test "$(value photo1_real)" = "$turtle_win"
  e2e_check "$label: photo1 names the bitmap in the picture folder" \
    test "$(value photo1)" = "${folder_win}photo1.bmp"
  e2e_check "$label: the bitmap is 654 x 491 and the picture's colour" \
    bmp_colour "$folder/photo1.bmp" 654 491 200 40 160
  show_start B /t
  e2e_check "$label: the show draws it" show_wait_pixel "$E2E_TMP/show.png" "$cx" "$cy" 200 40 160 14 60
  show_stop "$SHOW_PID"
  timeout 60 wineserver -w 2>/dev/null || true
}
bmp_colour() {  # file w h r g b
  [ "$(picture_size "$1")" = "$2 $3" ] && e2e_pixel_near "$1" $(($2 / 2)) $(($3 / 2)) "$4" "$5" "$6" 12
}

echo "--- the adapters' edge: files, registry, bitmap loader"
scratch="$WINEPREFIX/drive_c/qv-wideprobe"
rm -rf "$scratch"
mkdir -p "$scratch"
probe() {
  timeout 120 "$(command -v wine64 || command -v wine)" "$QV_BUILD_DIR/tests/e2e/wideprobe.exe" \
    'C:\qv-wideprobe\' 2>>"$E2E_TMP/wine.log" | tr -d '\r' | tee "$E2E_TMP/probe.log"
  return "${PIPESTATUS[0]}"
}
e2e_check "names in any language pass the adapters whole; malformed ones are refused" probe
e2e_check "the probe ran every check" grep -q '^0 failed$' "$E2E_TMP/probe.log"
rm -rf "$scratch"

echo "--- the picture's own folder and name"
run "$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Tarn Corporation" \
  'C:\users\'"$user"'\AppData\Roaming\Tarn Corporation\QUOR VELK-B Screen Saver\' "own name"

echo "--- a script names \"café.bmp\" in the ANSI code page"
# 1252 here: "é" is the byte E9 in the script; the file's name is UTF-8 on
# the host, as Wine shows every name.
scenes names.txt 'set\nlayer=1\nsource=.\\caf\xe9.bmp\nsx=0\nsy=0\nswidth=120\nsheight=90\nend\n'
convert -size 64x48 xc:'rgb(40,200,60)' -type truecolor "BMP3:$SHOW_SYSTEM32/QUORvelkbsrc/café.bmp"
show_start B /t
e2e_check "the show draws café.bmp" show_wait_pixel "$E2E_TMP/show.png" "$cx" "$cy" 40 200 60 14 60
show_stop "$SHOW_PID"
timeout 60 wineserver -w 2>/dev/null || true
rm -f "$SHOW_SYSTEM32/QUORvelkbsrc/café.bmp"
scenes still_pictures.txt 'set\nlayer=1\nsource=.\\STILL1.JPG\nsx=0\nsy=0\nswidth=120\nsheight=90\nend\n'

echo "--- and the application-data folder in such a folder"
# The shell gives a folder only when it is there, as for a real user.
rm -rf "$WINEPREFIX/drive_c/users/$user/$folder_name"
mkdir -p "$WINEPREFIX/drive_c/users/$user/$folder_name/AppData"
qv_wine reg add "$shell" /v AppData /t REG_EXPAND_SZ /d 'C:\users\'"$user"'\'"$folder_name"'\AppData' /f >/dev/null 2>&1
run "$WINEPREFIX/drive_c/users/$user/$folder_name/AppData/Tarn Corporation" \
  'C:\users\'"$user"'\'"$folder_name"'\AppData\Tarn Corporation\QUOR VELK-B Screen Saver\' "redirected"
e2e_check "redirected: every default still was converted there too" \
  test -s "$WINEPREFIX/drive_c/users/$user/$folder_name/AppData/Tarn Corporation/QUOR VELK-B Screen Saver/photo10.bmp"

e2e_finish
