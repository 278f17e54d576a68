#!/usr/bin/env bash
# Bad pictures under Wine never crash the program and never leave a
# half-written bitmap: each gets its message from the picture check (which
# reads the header alone) or from the conversion (none in the silent form),
# and the previous photo1.bmp stays byte for byte unless a conversion wrote a
# new one whole.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/import-helpers.sh"
e2e_start_display 1024x768x24
import_setup
out="$E2E_TMP/photos"
mkdir -p "$out"
wout="$(import_winpath "$out")\\"
pics="$IMPORT_PICS"
printf 'notes\r\n' >"$pics/notes.txt"

U=MsgUnsupportedFile
L=MsgPictureTooLarge
M=MsgOutOfMemory

# A good photo1.bmp to be kept.
import_run convert B "$(import_winpath "$pics/blocks.jpg")" 1 "$wout"
e2e_check "the first photo1.bmp is written" bmp_is "$out/photo1.bmp" 654 491
before=$(md5sum <"$out/photo1.bmp")

# picture, the check's message ("ok": its header is sound, the check passes
# it), the conversion's message ("-": not converted)
while read -r pic check conv; do
  src="$(import_winpath "$pics/$pic")"
  import_run validate B "$src"
  if [ "$check" = ok ]; then
    e2e_check "$pic: the check passes its header" \
      test "$IMPORT_CODE:$(import_messages):$(import_result)" = "0::accepted"
  else
    e2e_check "$pic: the check rejects it with $check" \
      test "$IMPORT_CODE:$(import_messages):$(import_result)" = "0:$check:rejected"
  fi
  [ "$conv" = - ] && continue
  import_run convert B "$src" 1 "$wout"
  e2e_check "$pic: the conversion fails with $conv" \
    test "$IMPORT_CODE:$(import_messages):$(import_result)" = "0:$conv:failure"
  e2e_check "$pic: photo1.bmp kept as it was" test "$(md5sum <"$out/photo1.bmp")" = "$before"
  import_run convert B "$src" 1 "$wout" --silent
  e2e_check "$pic: the silent form fails without a message" \
    test "$IMPORT_CODE:$(import_messages):$(import_result)" = "0::failure"
done <<LIST
empty.jpg $U $U
text.jpg $U $U
truncated.jpg ok $U
garbage.jpg $U $U
empty.bmp $U $U
badbpp.bmp ok $U
shortheader.bmp $U $U
truncated.bmp ok $U
claims60000.bmp $L $U
claims60000.jpg $L $M
claims30000x100.jpg $L $M
dnl.jpg ok $U
a.bmp.old\\x.jpg $U $U
notes.txt $U -
LIST
e2e_check "photo1.bmp still as it was after all of them" test "$(md5sum <"$out/photo1.bmp")" = "$before"

echo "--- the size limits belong to the check only"
for pic in thin.bmp thin.jpg; do
  import_run validate B "$(import_winpath "$pics/$pic")"
  e2e_check "$pic (1 x 100): $U" test "$IMPORT_CODE:$(import_messages):$(import_result)" = "0:$U:rejected"
done
# 12000 x 9000 is 108 megapixels, over the 100 allowed; 5001 x 10 is well
# within 16384 a side.
import_run validate B "$(import_winpath "$pics/big12000.jpg")"
e2e_check "big12000.jpg: $L" test "$IMPORT_CODE:$(import_messages):$(import_result)" = "0:$L:rejected"
for pic in wide5001.bmp wide5001.jpg; do
  import_run validate B "$(import_winpath "$pics/$pic")"
  e2e_check "$pic: accepted" test "$IMPORT_CODE:$(import_messages):$(import_result)" = "0::accepted"
done
# Converted all the same: 1 x 100 is tall (W = truncate(491 / 100) = 4),
# 5001 x 10 is wide (818 x truncate(818 x 10 / 5001) = 818 x 1).
import_run convert B "$(import_winpath "$pics/thin.bmp")" 2 "$wout"
e2e_check "thin.bmp converts to 4 x 491" bmp_is "$out/photo2.bmp" 4 491
import_run convert B "$(import_winpath "$pics/wide5001.jpg")" 3 "$wout"
e2e_check "wide5001.jpg converts to 818 x 1" bmp_is "$out/photo3.bmp" 818 1

echo "--- a missing source fails silently"
import_run convert B "$(import_winpath "$pics/nothing-here.jpg")" 1 "$wout"
e2e_check "missing source: failure without a message" \
  test "$IMPORT_CODE:$(import_messages):$(import_result)" = "0::failure"
e2e_check "photo1.bmp still as it was" test "$(md5sum <"$out/photo1.bmp")" = "$before"

echo "--- a good conversion replaces the bitmap whole"
import_run convert B "$(import_winpath "$pics/exif6.jpg")" 1 "$wout"
e2e_check "photo1.bmp is now the turned photo" bmp_is "$out/photo1.bmp" 368 491
e2e_check "nothing but the bitmaps in the folder" \
  test "$(cd "$out" && ls -A | tr '\n' ' ')" = "photo1.bmp photo2.bmp photo3.bmp "

echo "--- the real message appears; Return (its OK button) ends it"
log="$E2E_TMP/dialog.out"
import_start "$log" convert B "$(import_winpath "$pics/garbage.jpg")" 1 "$wout" \
  --dialogs "$(import_winpath "$IMPORT_APP_DIR/quorvelb.scr")"
e2e_check "the conversion shows $U" import_wait_line "$log" "^message: $U\$" 30
sleep 2
e2e_screenshot "$E2E_TMP/unsupported-file.png"
xdotool key Return
e2e_check "OK ends the message and the conversion fails" import_wait_line "$log" '^failure$' 30
e2e_check "the message answered with its first button" import_wait_line "$log" '^message result: 1$' 1
wait "$IMPORT_PID" 2>/dev/null || true
e2e_finish
