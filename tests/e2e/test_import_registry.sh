#!/usr/bin/env bash
# The settings store on Wine's real registry, read back with "reg query":
# a missing value is written back with its default; a string of 259
# characters (260 bytes with its zero) reads back, one of 260 reads as
# missing; removing slot 3 of five moves the later slots down.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/import-helpers.sh"
key='HKCU\Software\Tarn Corporation\QUOR VELK-C Screen Saver'

reg_value() {  # name
  qv_wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
reg_type() {  # name
  qv_wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *\(REG_[A-Z_]*\).*/\1/p"
}
reg_sz() { qv_wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null; }

qv_wine reg delete "$key" /f >/dev/null 2>&1 || true

echo "--- defaults are written back"
import_run store C read-dword trimming 1
e2e_check "a missing trimming reads as its default" test "$(import_value value)" = 1
e2e_check "and is stored as a DWORD" test "$(reg_type trimming):$(reg_value trimming)" = "REG_DWORD:0x1"
qv_wine reg add "$key" /v trimming /t REG_DWORD /d 0 /f >/dev/null
import_run store C read-dword trimming 1
e2e_check "a stored 0 reads as 0" test "$(import_value value)" = 0
import_run store C read-string photo7
e2e_check "a missing photo7 reads as error in the show" test "$(import_value value)" = error
e2e_check "and nothing is written" test "$(reg_type photo7)" = ""

echo "--- the 260-byte string buffer"
long259=$(printf 'C:\\%0252d.jpg' 0)
long260=$(printf 'C:\\%0253d.jpg' 0)
reg_sz photo1 "$long259"
reg_sz photo2 "$long260"
import_run store C read-string photo1
e2e_check "259 characters read back" test "$(import_value value)" = "$long259"
import_run store C read-string photo2
e2e_check "260 characters read as missing" test "$(import_value value)" = error

echo "--- removing slot 3 of five"
folder='C:\users\me\AppData\Roaming\Tarn Corporation\QUOR VELK-C Screen Saver\'
for n in 1 2 3 4 5; do
  reg_sz "photo$n" "${folder}photo$n.bmp"
  reg_sz "photo${n}_real" "D:\\pictures\\p$n.jpg"
done
qv_wine reg add "$key" /v photo_num /t REG_DWORD /d 5 /f >/dev/null
import_run store C remove 5 3 "$folder"
e2e_check "removed" grep -qx removed <<<"$IMPORT_OUT"
e2e_check "photo_num = 4" test "$(reg_value photo_num)" = 0x4
e2e_check "slots 1 and 2 untouched" \
  test "$(reg_value photo2_real):$(reg_value photo1)" = 'D:\pictures\p2.jpg:'"${folder}photo1.bmp"
e2e_check "photo3 = the folder + photo3.bmp" test "$(reg_value photo3)" = "${folder}photo3.bmp"
e2e_check "photo3_real = the former photo4_real" test "$(reg_value photo3_real)" = 'D:\pictures\p4.jpg'
e2e_check "photo4_real = the former photo5_real" test "$(reg_value photo4_real)" = 'D:\pictures\p5.jpg'
e2e_check "photo5 and photo5_real deleted" test "$(reg_type photo5):$(reg_type photo5_real)" = ":"
import_run store C read-string photo3
e2e_check "the moved path reads back unchanged" test "$(import_value value)" = "${folder}photo3.bmp"

qv_wine reg delete "$key" /f >/dev/null 2>&1 || true
e2e_finish
