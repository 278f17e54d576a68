#!/usr/bin/env bash
# The settings dialog under Wine, driven by settingsdriver (find, read,
# select, click, fill the open-file dialog, answer the messages), with the
# registry read by "reg query" and the picture folder on disk:
# first opening, Add, Delete, Exchange, Initialize, the refusals, Add Folder
# (through the system's folder picker) and a PNG by Add, OK and Cancel, the
# next show, the owner window, variants A and C, no application-data folder,
# and screenshots in English and Japanese.
# (The order of the registry writes is held by the unit tests.)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
source "$(dirname "$0")/import-helpers.sh"
source "$(dirname "$0")/settings-helpers.sh"
e2e_start_display 1024x768x24
export LANG=C.UTF-8 LC_ALL=C.UTF-8
shell='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
x11='HKCU\Software\Wine\X11 Driver'
desktop='HKCU\Control Panel\Desktop'
# Whatever happens, the prefix gets its application-data folder back and
# Wine's own window frames go again.
restore_prefix() {
  qv_wine reg add "$shell" /v AppData /t REG_EXPAND_SZ /d '%USERPROFILE%\AppData\Roaming' /f >/dev/null 2>&1 || true
  qv_wine reg delete "$x11" /v Decorated /f >/dev/null 2>&1 || true
  qv_wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 || true
  e2e_cleanup
}
trap restore_prefix EXIT
import_setup
show_install_data

key='HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver'
roaming="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation"
folder="$roaming/QUOR VELK-B Screen Saver"
folder_win='C:\users\'"$(id -un)"'\AppData\Roaming\Tarn Corporation\QUOR VELK-B Screen Saver\'
still_win='C:\WINDOWS\system32\QUORvelkbsrc\still'
program_win=$(import_winpath "$SHOW_APP_DIR/quorvelb.scr")

# Pictures of their own colour, and the size limits' pictures.
pics="$IMPORT_PICS"
[ -f "$pics/orange.jpg" ] || convert -size 640x480 xc:'rgb(230,120,30)' -quality 95 "$pics/orange.jpg"
[ -f "$pics/teal.jpg" ] || convert -size 480x640 xc:'rgb(30,160,150)' -quality 95 "$pics/teal.jpg"
# A JPEG whose frame header says 16385 x 100 (ImageMagick makes none so
# wide): refused from its header, never decoded.
if [ ! -f "$pics/over16384.jpg" ]; then
  convert -size 100x100 xc:'rgb(90,90,90)' -quality 50 "$pics/over16384.jpg"
  python3 - "$pics/over16384.jpg" <<'PY'
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
at = data.find(b"\xff\xc0")
data[at + 7:at + 9] = (16385).to_bytes(2, "big")
open(path, "wb").write(data)
PY
fi
[ -f "$pics/violet.png" ] || convert -size 600x400 xc:'rgb(140,60,200)' "$pics/violet.png"
# A folder of pictures for a slot: nested, three kinds, names in several
# scripts, all 3:2, each of its own colour, and a file that is no picture.
fotos="$WINEPREFIX/drive_c/qv-fotos"
fotos_win='C:\qv-fotos\'
rm -rf "$fotos"
mkdir -p "$fotos/2020/summer" "$fotos/東京" "$fotos/Ελλάδα"
convert -size 90x60 xc:'rgb(220,30,30)' -quality 95 "$fotos/2020/summer/red.jpg"
convert -size 90x60 xc:'rgb(30,200,40)' "$fotos/東京/green.png"
convert -size 90x60 xc:'rgb(40,60,220)' -type TrueColor "BMP3:$fotos/Ελλάδα/blue.bmp"
convert -size 90x60 xc:'rgb(230,220,40)' -quality 95 "$fotos/한국 사진.jpg"
echo "not a picture" >"$fotos/notes.txt"
orange=$(import_winpath "$pics/orange.jpg")
teal=$(import_winpath "$pics/teal.jpg")
# The placeholder bitmap lives in variant C's directory.
convert -size 76x57 xc:'rgb(128,128,128)' -type truecolor "BMP3:$SHOW_SYSTEM32/QUORvelkcsrc/nofile.bmp"

declare -A text=(
  [MsgListFull]='Cannot add any more pictures.\nThe maximum number of pictures to add is 10.'
  [MsgAlreadyListed]='The selected picture has already been listed.\nSelect another picture.'
  [MsgConfirmRemove]='Are you sure you want to remove the picture from the list?'
  [MsgConfirmInitialize]='Are you sure you want to initialize the list?'
  [MsgCannotDeleteAll]='Cannot delete all pictures in the list.\nIf you want to initialize the picture list, click [Initialize].'
  [MsgUnsupportedFile]='Non-supported file is selected.\nSelect a JPEG or BMP file.'
  [MsgPictureTooLarge]='Cannot add this picture.\nThe largest picture that can be added is 100 megapixels, 16384 pixels a side.'
)

# The messages the last run answered, space-separated, by name.
messages() {
  local line name found=()
  while IFS= read -r line; do
    for name in "${!text[@]}"; do [ "message: ${text[$name]}" = "$line" ] && found+=("$name"); done
  done < <(grep '^message: ' <<<"$OUT")
  echo "${found[*]}"
}

# REG: the variant key's values after the last snapshot; rv NAME reads one.
snapshot() { REG=$(qv_wine reg query "$key" 2>/dev/null | tr -d '\r' | sed -n 's/^    //p' | sort); }
rv() { sed -n "s/^$1  *REG_[A-Z_]*  *//p" <<<"$REG"; }
bitmaps() { (cd "$folder" && ls photo*.bmp 2>/dev/null | sort -V | tr '\n' ' '); }
inode() { stat -c %i "$folder/photo$1.bmp"; }
# True when the bitmap of slot N has W x H and the colour R G B in its middle.
bitmap_is() {  # n w h r g b
  local f="$folder/photo$1.bmp"
  [ "$(picture_size "$f")" = "$2 $3" ] && e2e_pixel_near "$f" $(($2 / 2)) $(($3 / 2)) "$4" "$5" "$6" 12
}
age_bitmaps() { touch -d 2001-01-01 "$folder"/photo*.bmp; }
all_made_again() { [ -z "$(find "$folder" -name 'photo*.bmp' ! -newermt 2002-01-01)" ]; }

# Writes the dialog's part of the screen to FILE.
dialog_shot() {
  local x y w h
  read -r x y w h <<<"$WINDOW"
  sleep 0.5
  e2e_screenshot "$E2E_TMP/screen.png"
  convert "$E2E_TMP/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$1"
}
started=$SECONDS

echo "--- first opening (no argument): the stills are seeded"
reset_user B
open_dialog
drive state select 2 state select -1 state
e2e_check "caption" test "$CAPTION" = 'QUOR VELK-B Screen Saver Setting'
e2e_check "ten thumbnails" said "items: 10"
e2e_check "Delete and Exchange disabled until an item is selected, enabled with it, disabled without" \
  test "$(grep -E '^(delete|exchange): ' <<<"$OUT" | tr '\n' ' ')" = \
  "delete: off exchange: off delete: on exchange: on delete: off exchange: off "
e2e_check "music On, Fit Screen for 1024 x 768" said "music: on" "view: fit"
snapshot
e2e_check "photo_num 10, background music 1 and trimming 0 in the store" \
  test "$(rv photo_num) $(rv 'background music') $(rv trimming)" = "0xa 0x1 0x0"
e2e_check "ten bitmaps of 654 x 491" test "$(bitmaps)" = "$(printf 'photo%d.bmp ' {1..10})" -a \
  "$(picture_size "$folder/photo10.bmp")" = "654 491"
e2e_check "photo3 and photo3_real" test "$(rv photo3)|$(rv photo3_real)" = "${folder_win}photo3.bmp|${still_win}3.jpg"

echo "--- a full list refuses Add before any file dialog; Escape keeps a picture"
drive click add click initialize answer first idle select 9 click delete answer escape idle state
e2e_check "MsgListFull, no file dialog, and a click meanwhile starts nothing" test "$(messages)" = "MsgListFull MsgConfirmRemove" -a \
  -z "$(grep 'file dialog came instead' <<<"$OUT")"
e2e_check "Escape on the confirmation removes nothing" said "items: 10"

echo "--- Delete slot 10, Add a new JPEG into it, the same path again, then in other case"
drive select 9 click delete answer first idle click add pick "$orange" idle state
snapshot
e2e_check "the open-file dialog lists all pictures first, PNG among them" \
  grep -q '^file types: All pictures (.*\*\.png' <<<"$OUT"
e2e_check "the JPEG is slot 10" test "$(rv photo_num)|$(rv photo10)|$(rv photo10_real)" = \
  "0xa|${folder_win}photo10.bmp|$orange"
e2e_check "its bitmap is 654 x 491 and orange" bitmap_is 10 654 491 230 120 30
e2e_check "ten thumbnails, the new one selected" said "items: 10" "selected: 9"
drive select 8 click delete answer first idle click add pick "$orange" answer first idle state
e2e_check "the same path again: MsgAlreadyListed" test "$(messages)" = "MsgConfirmRemove MsgAlreadyListed"
e2e_check "and nothing added" said "items: 9"
upper=$(tr 'a-z' 'A-Z' <<<"$orange")
drive click add pick "$upper" idle state
snapshot
e2e_check "a path differing in letter case is added" test "$(rv photo10_real)|$(rv photo9_real)" = "$upper|$orange"
e2e_check "ten thumbnails again" said "items: 10"

echo "--- down to four, then Delete slot 2 of 4"
drive select 0 click delete answer first idle select 0 click delete answer first idle \
  select 0 click delete answer first idle select 0 click delete answer first idle \
  select 0 click delete answer first idle select 0 click delete answer first idle state
e2e_check "four left" said "items: 4"
before="$(inode 3) $(inode 4)"
drive select 1 click delete answer first idle state
snapshot
e2e_check "photo3.bmp became photo2.bmp and photo4.bmp photo3.bmp" test "$(inode 2) $(inode 3)" = "$before"
e2e_check "no photo4.bmp" test "$(bitmaps)" = "photo1.bmp photo2.bmp photo3.bmp "
e2e_check "the store moved the same way" test \
  "$(rv photo_num)|$(rv photo1_real)|$(rv photo2)|$(rv photo2_real)|$(rv photo3_real)|$(rv photo4)$(rv photo4_real)" = \
  "0x3|${still_win}7.jpg|${folder_win}photo2.bmp|$orange|$upper|"
e2e_check "three thumbnails" said "items: 3"

echo "--- Exchange converts its own slot"
age_bitmaps
drive select 0 click exchange pick "$teal" idle state
snapshot
e2e_check "slot 1 is the teal portrait, 368 x 491" bitmap_is 1 368 491 30 160 150
e2e_check "photo1_real" test "$(rv photo1_real)" = "$teal"
e2e_check "the other bitmaps are left as they were" test \
  "$(find "$folder" -name 'photo*.bmp' ! -newermt 2002-01-01 -printf '%f\n' | sort | tr '\n' ' ')" = "photo2.bmp photo3.bmp "

echo "--- the last picture cannot be deleted"
drive select 2 click delete answer first idle select 1 click delete answer first idle \
  select 0 click delete answer first idle state
e2e_check "MsgCannotDeleteAll" test "$(messages)" = "MsgConfirmRemove MsgConfirmRemove MsgCannotDeleteAll"
e2e_check "one left" said "items: 1"
close_dialog cancel

echo "--- the next show plays the user's picture"
for dir in normal wide; do
  scenes="$SHOW_SYSTEM32/QUORvelkbsrc/$dir"
  printf 'effect=photo\nscenetime=0\nscript=.\\still_pictures.txt\nend\n' >"$scenes/scenescript.txt"
  printf 'set\nlayer=1\nsource=.\\STILL1.JPG\nsx=0\nsy=0\nswidth=120\nsheight=90\nend\n' >"$scenes/still_pictures.txt"
done
read -r cx cy < <(show_project 0 0 1 251)
show_start B /t
e2e_check "the placeholder layer shows the teal picture" show_wait_pixel "$E2E_TMP/show.png" "$cx" "$cy" 30 160 150 14 60
show_stop "$SHOW_PID"
timeout 60 wineserver -w 2>/dev/null || true

echo "--- /c: Initialize (Escape first), then the refusals store nothing"
open_dialog /c
age_bitmaps
drive click initialize answer escape idle state click initialize answer first probe state names
snapshot
e2e_check "Escape keeps the list, then Initialize lists ten" test \
  "$(grep '^items: ' <<<"$OUT" | tr '\n' ' ')" = "items: 1 items: 10 "
e2e_check "the ten stills in the store" test "$(rv photo_num)|$(rv photo1_real)|$(rv photo10_real)" = \
  "0xa|${still_win}1.jpg|${still_win}10.jpg"
e2e_check "every bitmap was made again" all_made_again
# The conversions run beside the dialog, which answers all through them
# and says which picture it is at.
answered_within() {  # ms: the longest stretch the dialog's thread left a message unanswered
  local longest
  longest=$(sed -n 's/^longest unanswered: \([0-9]*\) ms$/\1/p' <<<"$OUT")
  echo "  $(grep -E '^(took|longest)' <<<"$OUT" | tr '\n' ' ')"
  [ -n "$longest" ] && [ "$longest" -lt "$1" ]
}
e2e_check "Initialize: the dialog answers within 100 ms all through" answered_within 100
e2e_check "and shows its progress" said "progress: Converting picture 10 of 10..."
e2e_check "each item is named after its picture" said \
  "names: $(printf 'still%d.jpg|' {1..10} | sed 's/|$//')" "icon: 76 x 57"
drive select 9 click delete answer first idle
# A photo of today's cameras (24 megapixels), above the 5000 a side of before.
[ -f "$pics/camera6000x4000.jpg" ] ||
  convert -size 6000x4000 gradient:'rgb(200,80,40)-rgb(40,80,200)' -quality 90 "$pics/camera6000x4000.jpg"
drive click add pick "$(import_winpath "$pics/camera6000x4000.jpg")" probe state
e2e_check "Add of 24 megapixels: the dialog answers within 100 ms all through" answered_within 100
e2e_check "and lists it" said "items: 10" "progress: Converting picture 1 of 1..."
e2e_check "its bitmap is 818 x 545" test "$(picture_size "$folder/photo10.bmp")" = "818 545"
# The keys: Alt+I is Initialize, Delete on the list is Delete, each with
# its confirmation (Escape keeps everything).
read -r x y w h <<<"$WINDOW"
xdotool key alt+i
drive answer escape idle
asked=$(messages)
xdotool mousemove $((x + 70)) $((y + 150)) click 1
sleep 0.3
xdotool key Delete
drive answer escape idle select 9 click delete answer first idle state
e2e_check "Alt+I and the Delete key ask their confirmations" test "$asked $(messages)" = \
  "MsgConfirmInitialize MsgConfirmRemove MsgConfirmRemove"
e2e_check "and the list is as before" said "items: 9"
snapshot
saved="$REG"
listed=$(cd "$folder" && md5sum photo*.bmp)
drive click add pick "$(import_winpath "$pics/garbage.jpg")" answer first idle \
  click add pick "$(import_winpath "$pics/over16384.jpg")" answer first idle \
  click add pick "$(import_winpath "$pics/thin.jpg")" answer first idle state
snapshot
e2e_check "a corrupt JPEG, 16385 x 100 and 1 x 100 each say why" test "$(messages)" = \
  "MsgUnsupportedFile MsgPictureTooLarge MsgUnsupportedFile"
e2e_check "and store nothing" test "$REG" = "$saved" -a "$(cd "$folder" && md5sum photo*.bmp)" = "$listed"
e2e_check "nine thumbnails" said "items: 9"

echo "--- Add Folder: the folder picker, the folder's first picture and its order; a PNG by Add"
drive click add-folder pick-folder 'C:\qv-fotos' idle state names
snapshot
e2e_check "photo10_real is the folder with its closing backslash" test "$(rv photo10_real)" = "$fotos_win"
# The folder's first picture in its shuffled order: one of its four colours.
folder_picture() {
  local colour
  [ "$(picture_size "$folder/photo$1.bmp")" = "818 545" ] || return 1
  for colour in "220 30 30" "30 200 40" "40 60 220" "230 220 40"; do
    e2e_pixel_near "$folder/photo$1.bmp" 409 272 $colour 14 >/dev/null && return 0
  done
  return 1
}
e2e_check "photo10.bmp is one of the folder's pictures, 818 x 545" folder_picture 10
e2e_check "photo10.library holds the folder's order" test -s "$folder/photo10.library"
e2e_check "the list shows ten items, the last named after the folder" said "items: 10"
e2e_check "named after the folder" grep -q '^names: .*|qv-fotos$' <<<"$OUT"
mkdir -p "$QV_BUILD_DIR/screenshots"
dialog_shot "$QV_BUILD_DIR/screenshots/dialog-folder-slot.png"
drive select 0 click delete answer first idle click add pick "$(import_winpath "$pics/violet.png")" idle state
snapshot
e2e_check "Delete moved the folder slot to 9 with its order" test \
  "$(rv photo9_real)" = "$fotos_win" -a -s "$folder/photo9.library" -a ! -e "$folder/photo10.library"
e2e_check "a PNG by Add is slot 10, 818 x 545 and violet" test "$(rv photo10_real)" = "$(import_winpath "$pics/violet.png")"
e2e_check "its bitmap" bitmap_is 10 818 545 140 60 200

echo "--- OK stores the switches; Cancel keeps list changes and drops the switches"
drive click off click enlarge
close_dialog ok
snapshot
e2e_check "OK stored music off and Enlarge" test "$(rv 'background music') $(rv trimming)" = "0x0 0x1"
open_dialog -c
drive state click on click fit select 0 click delete answer first idle
e2e_check "they read back" said "music: off" "view: enlarge"
close_dialog cancel
snapshot
e2e_check "after Cancel: switches as stored, the deletion kept" test \
  "$(rv 'background music') $(rv trimming) $(rv photo_num)" = "0x0 0x1 0x9"

echo "--- the window named after /c owns the dialog"
drive owner "$program_win" "/c:" owner "$program_win" "/c "
e2e_check "/c:HANDLE and /c HANDLE: our window owns it, disabled while it runs" test \
  "$(grep -c -xF 'owner is ours: yes' <<<"$OUT") $(grep -c -xF 'ours while it runs: disabled' <<<"$OUT") $(grep -c -xF 'ours afterwards: enabled' <<<"$OUT")" = "2 2 2"

echo "--- variants A and C: captions and their own trimming button numbers"
for variant in A C; do
  reset_user $variant
  open_dialog /c
  drive idle state text 1036 text 1037
  e2e_check "$variant: caption" test "$CAPTION" = "QUOR VELK-$variant Screen Saver Setting"
  e2e_check "$variant: ten stills, Enlarge 1036, Fit Screen 1037" test \
    "$(grep -E '^(items|text)' <<<"$OUT" | tr '\n' '|')" = "items: 10|text 1036: Enlarge|text 1037: Fit Screen|"
  close_dialog cancel
  reset_user $variant
done
variant=B

echo "--- no application-data folder: an empty list, nothing made"
qv_wine reg add "$shell" /v AppData /t REG_EXPAND_SZ /d 'C:\nowhere\Roaming' /f >/dev/null
reset_user B
open_dialog /c
drive state
e2e_check "no items, Add and Initialize disabled" test \
  "$(grep -E '^(items|add|initialize)' <<<"$OUT" | tr '\n' ' ')" = "items: 0 add: off initialize: off "
close_dialog cancel
qv_wine reg add "$shell" /v AppData /t REG_EXPAND_SZ /d '%USERPROFILE%\AppData\Roaming' /f >/dev/null
snapshot
e2e_check "no folder made, no list stored" test ! -e "$WINEPREFIX/drive_c/nowhere" -a -z "$(rv photo_num)"
echo "(list operations and checks took $((SECONDS - started)) s)"

echo "--- screenshots with photo-like stills at 96, 144 and 192 dpi, English and Japanese"
stills="$QV_BUILD_DIR/e2e-stills"
if [ ! -f "$stills/still10.jpg" ]; then
  (source "$QV_SOURCE_DIR/data/pictures.sh" && mkdir -p "$stills" && make_stills "$stills")
fi
cp "$stills"/still*.jpg "$SHOW_SYSTEM32/QUORvelkbsrc/"
shots="$QV_BUILD_DIR/screenshots"
mkdir -p "$shots"
# A screen that holds the dialog at twice the scale.
timeout 60 wineserver -k 2>/dev/null || true
e2e_cleanup
e2e_start_display 1600x1200x24
trap restore_prefix EXIT
# Without a window manager Wine draws the frame and caption itself only
# when told to; for these pictures only.
qv_wine reg add "$x11" /v Decorated /t REG_SZ /d N /f >/dev/null
declare -A icon=([96]="76 x 57" [144]="114 x 86" [192]="152 x 114")
for dpi in 96 144 192; do
  qv_wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  timeout 60 wineserver -w 2>/dev/null || true
  reset_user B
  open_dialog /c
  drive idle names
  e2e_check "$dpi dpi: thumbnails of $(tr -d ' ' <<<"${icon[$dpi]}")" said "icon: ${icon[$dpi]}"
  dialog_shot "$shots/dialog-en-$dpi.png"
  close_dialog cancel
  LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 open_dialog /c
  drive text 1024 idle names
  [ "$dpi" = 96 ] && e2e_check "Japanese: caption and Add" test \
    "$CAPTION|$(sed -n 's/^text 1024: //p' <<<"$OUT")" = "QUOR VELK-B Screen Saver 設定|追加(&A)"
  e2e_check "$dpi dpi, Japanese: thumbnails of $(tr -d ' ' <<<"${icon[$dpi]}")" said "icon: ${icon[$dpi]}"
  dialog_shot "$shots/dialog-ja-$dpi.png"
  close_dialog cancel
done
qv_wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 || true
qv_wine reg delete "$x11" /v Decorated /f >/dev/null 2>&1 || true

# Leave the prefix as the other tests expect it: a new user, the test data.
reset_user B
show_install_data
e2e_finish
