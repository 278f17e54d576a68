#!/usr/bin/env bash
# The first show of a user under Wine: with no per-user picture folder the
# show creates it with photo1.bmp ... photo10.bmp sized for this 1024 x 768
# screen and writes "photo_num" = 10 and the twenty paths to the registry
# (read back with "reg query"); the show then runs. With still3.jpg missing,
# slots 1, 2 and 4 to 10 are made and the show ends right after it starts;
# an undecodable still shows its message first, and a second one none. An existing folder, even an
# empty one, means nothing is prepared again.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
source "$(dirname "$0")/import-helpers.sh"
e2e_start_display 1024x768x24
import_setup
show_install_data

key='HKCU\Software\Tarn Corporation\QUOR VELK-B Screen Saver'
appdata_win='C:\users\'"$(id -un)"'\AppData\Roaming'
folder_win="$appdata_win"'\Tarn Corporation\QUOR VELK-B Screen Saver\'
folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation/QUOR VELK-B Screen Saver"
data="$SHOW_SYSTEM32/QUORvelkbsrc"
still_win='C:\WINDOWS\system32\QUORvelkbsrc\still'

# Stills of known shapes: 4:3 blocks, a portrait, a picture just wider than 4:3.
cp "$IMPORT_PICS/blocks.jpg" "$data/still1.jpg"
cp "$IMPORT_PICS/portrait.jpg" "$data/still2.jpg"
cp "$IMPORT_PICS/wide479.jpg" "$data/still3.jpg"
cp "$IMPORT_PICS/exif6.jpg" "$data/still4.jpg"
for n in 5 6 7 8 9 10; do cp "$IMPORT_PICS/blocks.jpg" "$data/still$n.jpg"; done
# Expected sizes by slot (base height truncate(768 x 0.64) = 491).
size=("" "654 491" "368 491" "818 612" "368 491" "654 491" "654 491" "654 491" "654 491" "654 491" "654 491")

# The data of one registry value as "reg query" prints it ("" when missing).
reg_value() {  # name
  qv_wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

first_run_reset() {
  rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation"
  qv_wine reg delete "$key" /f >/dev/null 2>&1 || true
}

echo "--- first show: folder, ten bitmaps, registry"
first_run_reset
show_start B /s
pid=$SHOW_PID
for ((i = 0; i < 600; i++)); do [ -s "$folder/photo10.bmp" ] && break; sleep 0.1; done
# The show reads "background music" near the end of its start, after the
# preparation: once the value is there the show is up.
for ((i = 0; i < 60; i++)); do [ -n "$(reg_value 'background music')" ] && break; sleep 0.5; done
sleep 1
e2e_check "the show runs after the preparation" show_running "$pid"
for n in 1 2 3 4 5 6 7 8 9 10; do
  e2e_check "photo$n.bmp is a ${size[n]/ / x } BMP" bmp_is "$folder/photo$n.bmp" ${size[n]}
done
e2e_check "photo1.bmp holds the colour blocks" quadrants_match "$folder/photo1.bmp" 12
e2e_check "photo4.bmp (EXIF orientation 6) stands upright" quadrants_match "$folder/photo4.bmp" 12
e2e_check "photo_num = 10" test "$(reg_value photo_num)" = 0xa
e2e_check "the show read \"background music\" and wrote its default 1 back" \
  test "$(reg_value 'background music')" = 0x1
for n in 1 2 3 4 5 6 7 8 9 10; do
  e2e_check "photo$n = the folder + photo$n.bmp" test "$(reg_value "photo$n")" = "${folder_win}photo$n.bmp"
  e2e_check "photo${n}_real = still$n.jpg" test "$(reg_value "photo${n}_real")" = "${still_win}$n.jpg"
done
xdotool key space
show_wait_exit "$pid" 20
e2e_check "a key ends the show with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$pid"

echo "--- second show: the folder exists, nothing is prepared again"
qv_wine reg add "$key" /v photo1_real /t REG_SZ /d 'D:\mine.jpg' /f >/dev/null
qv_wine reg add "$key" /v 'background music' /t REG_DWORD /d 0 /f >/dev/null
touch -d '2001-01-01' "$folder/photo2.bmp"
show_start B /s
pid=$SHOW_PID
sleep 6
e2e_check "the second show runs" show_running "$pid"
e2e_check "the user's photo1_real stays" test "$(reg_value photo1_real)" = 'D:\mine.jpg'
e2e_check "a stored \"background music\" of 0 stays 0" test "$(reg_value 'background music')" = 0x0
e2e_check "photo2.bmp is not written again" test "$(stat -c %Y "$folder/photo2.bmp")" = "$(date -d 2001-01-01 +%s)"
xdotool key space
show_wait_exit "$pid" 20
show_stop "$pid"

echo "--- an empty folder counts as prepared"
first_run_reset
mkdir -p "$folder"
show_start B /s
pid=$SHOW_PID
sleep 6
e2e_check "the show runs" show_running "$pid"
e2e_check "nothing is converted into the empty folder" test -z "$(ls -A "$folder")"
e2e_check "no picture list is seeded" test "$(reg_value photo1)" = ""
xdotool key space
show_wait_exit "$pid" 20
show_stop "$pid"

echo "--- still3.jpg missing: the other slots are made and the show ends at once"
first_run_reset
rm -f "$data/still3.jpg"
started=$SECONDS
show_start B /s
pid=$SHOW_PID
show_wait_exit "$pid" 60
took=$((SECONDS - started))
e2e_check "the show ends by itself with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
e2e_check "right after its start (${took} s with the nine conversions)" test "$took" -le 20
show_stop "$pid"
for n in 1 2 4 5 6 7 8 9 10; do
  e2e_check "photo$n.bmp made" bmp_is "$folder/photo$n.bmp" ${size[n]}
  e2e_check "photo${n}_real written" test "$(reg_value "photo${n}_real")" = "${still_win}$n.jpg"
done
e2e_check "no photo3.bmp" test ! -e "$folder/photo3.bmp"
e2e_check "no photo3 value" test "$(reg_value photo3):$(reg_value photo3_real)" = ":"
e2e_check "photo_num is 10 all the same" test "$(reg_value photo_num)" = 0xa

echo "--- undecodable stills: the first one's message appears as the show starts, and only that one"
first_run_reset
cp "$IMPORT_PICS/wide479.jpg" "$data/still3.jpg"
printf 'not a picture\r\n' >"$data/still5.jpg"
printf 'not a picture either\r\n' >"$data/still7.jpg"
show_start B /s
pid=$SHOW_PID
seen=1
for ((i = 0; i < 300; i++)); do
  xdotool search --name '^QUOR VELK-B Screen Saver$' >/dev/null 2>&1 && { seen=0; break; }
  sleep 0.1
done
e2e_check "the message dialog appears during the start" test "$seen" = 0
sleep 1
e2e_screenshot "$E2E_TMP/first-run-message.png"
e2e_check "it stands in the middle of the screen" \
  e2e_pixel_near "$E2E_TMP/first-run-message.png" 512 400 245 245 245 12
xdotool key Return
# A second message would hold the show open until someone answered it.
show_wait_exit "$pid" 30
e2e_check "after one OK the show ends by itself with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
show_stop "$pid"
e2e_check "slot 5 is left out" test ! -e "$folder/photo5.bmp" -a -z "$(reg_value photo5_real)"
e2e_check "slot 6 is made after it" bmp_is "$folder/photo6.bmp" ${size[6]}
e2e_check "slot 7 is left out too" test ! -e "$folder/photo7.bmp" -a -z "$(reg_value photo7_real)"
e2e_check "and the seeding goes on to slot 10" bmp_is "$folder/photo10.bmp" ${size[10]}

# Leave the prefix as a user who has had a first show with all stills.
first_run_reset
show_install_data
e2e_finish
