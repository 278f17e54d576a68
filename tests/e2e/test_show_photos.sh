#!/usr/bin/env bash
# A user's first show under Wine converts the default stills into the
# per-user picture folder; the show then composes them on the backdrop, and a
# layer of a placeholder scene (a layer file whose name holds "still_") that
# asks for STILL1.JPG shows photo pixels, not the backdrop. Variants A and B
# prepare all ten pictures at start; variant C composes one when the layer
# asks for it. With "photo_num" 0 the same layer shows the backdrop.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
e2e_start_display 1024x768x24
show_install_data

appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarn Corporation"
shot="$E2E_TMP/shot.png"

# One placeholder scene: layer 1, 120 x 90 world units at the centre, asking
# for the first default still.
for v in a b c; do
  for dir in normal wide; do
    scenes="$SHOW_SYSTEM32/QUORvelk${v}src/$dir"
    printf 'effect=photo\nscenetime=0\nscript=.\\still_pictures.txt\nend\n' >"$scenes/scenescript.txt"
    printf 'set\nlayer=1\nsource=.\\STILL1.JPG\nsx=0\nsy=0\nswidth=120\nsheight=90\nend\n' \
      >"$scenes/still_pictures.txt"
  done
done

key() { echo "HKCU\\Software\\Tarn Corporation\\QUOR VELK-$1 Screen Saver"; }

# True when pixel (x, y) has the stills' green and blue (every still is
# rgb(n x 20, 96, 160)), within tol: a photo, whichever of the ten, or still
# n's red too when n is given.
still_pixel() {  # file x y tol [n]
  local r g b red=${5:-}
  read -r r g b < <(e2e_pixel "$1" "$2" "$3")
  if (( (g - 96) ** 2 <= $4 ** 2 && (b - 160) ** 2 <= $4 ** 2 )) &&
     { [ -z "$red" ] || (( (r - red * 20) ** 2 <= $4 ** 2 )); }; then return 0; fi
  echo "  pixel ($2,$3) is $r $g $b, expected still ${red:-1 to 10} (n x 20, 96, 160) +-$4" >&2
  return 1
}

wait_still_pixel() {  # file x y tol seconds [n]
  local start=$SECONDS
  while :; do
    e2e_screenshot "$1"
    if still_pixel "$1" "$2" "$3" "$4" "${6:-}" 2>/dev/null; then return 0; fi
    if (( SECONDS - start >= $5 )); then still_pixel "$1" "$2" "$3" "$4" "${6:-}"; return 1; fi
    sleep 0.3
  done
}

# Variant C: a second placeholder scene at 1 s puts STILL2 over the first;
# its picture is composed ahead, and the scene takes it rather than what
# the shared buffer holds then.
for dir in normal wide; do
  scenes="$SHOW_SYSTEM32/QUORvelkcsrc/$dir"
  printf 'scenetime=1\nscript=.\\still_second.txt\nend\n' >>"$scenes/scenescript.txt"
  printf 'set\nlayer=2\nsource=.\\STILL2.JPG\nsx=0\nsy=0\nswidth=120\nsheight=90\nend\n' \
    >"$scenes/still_second.txt"
done

# Camera distance for the 800 x 600 layout (code 5).
declare -A distance=([A]=253 [B]=251 [C]=251)

for variant in B C A; do
  echo "--- variant $variant: first show"
  rm -rf "$appdata/QUOR VELK-$variant Screen Saver"
  qv_wine reg delete "$(key "$variant")" /f >/dev/null 2>&1 || true
  read -r cx cy < <(show_project 0 0 1 "${distance[$variant]}")
  read -r ex ey < <(show_project -55 40 1 "${distance[$variant]}")
  logged=$(wc -l <"$E2E_TMP/wine.log" 2>/dev/null || echo 0)
  WINEDEBUG=+debugstr show_start "$variant" /t
  pid=$SHOW_PID
  e2e_check "$variant: the placeholder layer shows a photo at ($cx, $cy)" wait_still_pixel "$shot" "$cx" "$cy" 12 60
  e2e_check "$variant: and near its corner at ($ex, $ey)" still_pixel "$shot" "$ex" "$ey" 12
  e2e_check "$variant: the stills were converted" test -s "$appdata/QUOR VELK-$variant Screen Saver/photo10.bmp"
  if [ "$variant" = C ]; then
    e2e_check "C: the scene at 1 s shows still 2 over still 1" wait_still_pixel "$shot" "$cx" "$cy" 10 30 2
    e2e_check "C: its texture was made ahead, none at its scene's time" \
      bash -c "tail -n +$((logged + 1)) '$E2E_TMP/wine.log' | grep -a 'quorvelk: texture made ahead' &&
               ! tail -n +$((logged + 1)) '$E2E_TMP/wine.log' | grep -a 'quorvelk: textures made at scene time'"
  fi
  show_stop "$pid"
  timeout 60 wineserver -w 2>/dev/null || true
done

echo "--- variant B: no photos listed"
qv_wine reg add "$(key B)" /v photo_num /t REG_DWORD /d 0 /f >/dev/null 2>&1
read -r cx cy < <(show_project 0 0 1 "${distance[B]}")
show_start B /t
pid=$SHOW_PID
e2e_check "B: with photo_num 0 the layer shows the backdrop" show_wait_pixel "$shot" "$cx" "$cy" 64 64 64 3 60
show_stop "$pid"

e2e_finish
