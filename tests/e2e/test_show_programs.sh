#!/usr/bin/env bash
# The three programs as built: Windows GUI programs named .scr, each with
# one manifest (resource 1 of type 24) that asks for per-monitor DPI
# awareness and common controls 6, a version resource with the build's
# version, and string 1, the name the display settings list shows (in
# Japanese for a Japanese user interface). Their import tables name only the
# DLLs a show needs before its first frame; the others are delay-loaded.
source "$(dirname "$0")/lib.sh"
version=$(sed -nE 's/^project\(QuorVelk VERSION ([0-9.]+).*/\1/p' "$QV_SOURCE_DIR/CMakeLists.txt")
for letter in a b c; do
  program="$QV_BUILD_DIR/app/quorvel$letter.scr"
  e2e_check "quorvel$letter.scr exists" test -s "$program"
  e2e_check "quorvel$letter.scr is a GUI program" \
    bash -c "x86_64-w64-mingw32-objdump -p '$program' | grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]'"
  imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' |
            sort | tr '\n' ' ')
  e2e_check "quorvel$letter.scr imports at start only what a show needs first (got: $imports)" \
    test "$imports" = "ADVAPI32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL "
  rc="$E2E_TMP/quorvel$letter.rc"
  x86_64-w64-mingw32-windres -i "$program" -O rc -o "$rc" 2>/dev/null || : >"$rc"
  e2e_check "quorvel$letter.scr has exactly one manifest" test "$(grep -c '^1 24 /\* RT_MANIFEST \*/' "$rc")" = 1
  e2e_check "its manifest asks for per-monitor DPI awareness" grep -q 'PerMonitorV2' "$rc"
  e2e_check "its manifest asks for common controls 6" \
    grep -q 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' "$rc"
  name="QUOR VELK-${letter^^} Screen Saver"
  # The string tables, one per language: "LANGUAGE 9, 1" English, "17, 1" Japanese.
  strings=$(sed -n '/Type: stringtable/,/Type: /p' "$rc" | tr -d '\r')
  e2e_check "its string 1 is \"$name\"" \
    bash -c "grep -A4 'LANGUAGE 9, 1' <<<\"\$1\" | grep -qxF '  1, \"$name\"'" _ "$strings"
  # "QUOR VELK-B スクリーンセーバー" as windres writes it.
  ja="  1, L\"QUOR VELK-${letter^^} \\x30b9\\x30af\\x30ea\\x30fc\\x30f3\\x30bb\\x30fc\\x30d0\\x30fc\""
  e2e_check "its Japanese string 1 says screen saver in katakana" \
    bash -c "grep -A4 'LANGUAGE 17, 1' <<<\"\$1\" | grep -qxF \"\$2\"" _ "$strings" "$ja"
  e2e_check "its version resource holds version $version" \
    grep -qE "^ FILEVERSION ${version//./, }, 0\$" "$rc"
  for field in "ProductName\", \"$name" "FileDescription\", \"$name" "CompanyName\", \"Tarn Corporation" \
               "FileVersion\", \"$version" "OriginalFilename\", \"quorvel$letter.scr"; do
    e2e_check "its version resource has $field\"" grep -qF "VALUE \"$field\"" "$rc"
  done
done
e2e_finish
