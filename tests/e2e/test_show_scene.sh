#!/usr/bin/env bash
# The show in its 800 x 600 test window draws the test scene's layers where
# the camera puts them, blended as the device states say; records 22-29 are
# not drawn (record 22 is in variant A); a moving layer is seen at its start
# and later at its end place, and again after the script hands over to
# itself; a key press ends the show with exit code 0.
# "/s" and "t" draw the same scene over the whole screen.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show-helpers.sh"
e2e_start_display 1024x768x24
show_install_data

# Camera distance for the 800 x 600 layout (code 5): A 253, B 251, C 251.
declare -A distance=([A]=253 [B]=251 [C]=251)
shot="$E2E_TMP/shot.png"

for variant in B A C; do
  d=${distance[$variant]}
  echo "--- variant $variant (camera distance $d)"
  # Layer 1: an opaque red 60 x 60 square centred at (-40, 0); its left
  # third (x -70 .. -40) is not covered by layer 2.
  read -r rx ry < <(show_project -55 0 1 "$d")
  show_start "$variant" /t
  pid=$SHOW_PID
  e2e_check "$variant: red layer 1 at ($rx, $ry)" show_wait_pixel "$shot" "$rx" "$ry" 255 0 0 3 30

  # Layer 2: green (0, 255, 0) times the diffuse (255, 128, 255) gives
  # (0, 128, 0); alpha 128/255 blends it as source x a + destination x (1 - a):
  # over red (0.502 x 0 + 0.498 x 255, 0.502 x 128, 0) = (127, 64, 0),
  # over the black background (0, 64, 0).
  read -r ox oy < <(show_project -25 0 2 "$d")
  e2e_check "$variant: layer 2 blended over red at ($ox, $oy)" e2e_pixel_near "$shot" "$ox" "$oy" 127 64 0 3
  read -r gx gy < <(show_project 5 0 2 "$d")
  e2e_check "$variant: layer 2 blended over black at ($gx, $gy)" e2e_pixel_near "$shot" "$gx" "$gy" 0 64 0 3
  # Outside every layer: the clear colour.
  read -r bx by < <(show_project 0 30 1 "$d")
  e2e_check "$variant: background black at ($bx, $by)" e2e_pixel_near "$shot" "$bx" "$by" 0 0 0 2
  # Just outside layer 1's left edge (x = -70) and inside it.
  read -r ex ey < <(show_project -72 0 1 "$d")
  e2e_check "$variant: nothing left of layer 1 at ($ex, $ey)" e2e_pixel_near "$shot" "$ex" "$ey" 0 0 0 2
  read -r ix iy < <(show_project -68 28 1 "$d")
  e2e_check "$variant: layer 1 reaches its corner at ($ix, $iy)" e2e_pixel_near "$shot" "$ix" "$iy" 255 0 0 3

  # Layer 4: a white 30 x 10 picture (a texture of no power-of-two size,
  # from a run-length coded BMP) times the diffuse (0, 255, 128) at
  # (60, -20); probe its centre and inside its right end (x 75 is its edge).
  read -r wx wy < <(show_project 60 -20 4 "$d")
  e2e_check "$variant: white layer 4 tinted (0, 255, 128) at ($wx, $wy)" e2e_pixel_near "$shot" "$wx" "$wy" 0 255 128 3
  read -r wx wy < <(show_project 73 -18 4 "$d")
  e2e_check "$variant: layer 4 near its corner at ($wx, $wy)" e2e_pixel_near "$shot" "$wx" "$wy" 0 255 128 3
  read -r wx wy < <(show_project 77 -20 4 "$d")
  e2e_check "$variant: nothing right of layer 4 at ($wx, $wy)" e2e_pixel_near "$shot" "$wx" "$wy" 0 0 0 2

  # Record 22 (yellow at (60, 50)): drawn by variant A only.
  read -r yx yy < <(show_project 60 50 22 "$d")
  if [ "$variant" = A ]; then
    e2e_check "A: record 22 drawn at ($yx, $yy)" e2e_pixel_near "$shot" "$yx" "$yy" 255 255 0 3
  else
    e2e_check "$variant: record 22 not drawn at ($yx, $yy)" e2e_pixel_near "$shot" "$yx" "$yy" 0 0 0 2
  fi
  # Record 25 (cyan at (-60, 50)): never drawn.
  read -r cx cy < <(show_project -60 50 25 "$d")
  e2e_check "$variant: record 25 not drawn at ($cx, $cy)" e2e_pixel_near "$shot" "$cx" "$cy" 0 0 0 2

  # Layer 3 (magenta, 20 x 20, from a 16-bit BMP stored from the top) sits
  # at (-80, -60) until the scene at 4 s moves it to (80, -60) within one
  # second.
  read -r sx sy < <(show_project -80 -60 3 "$d")
  e2e_check "$variant: layer 3 at its start place ($sx, $sy)" e2e_pixel_near "$shot" "$sx" "$sy" 255 0 255 3
  if [ "$variant" = B ]; then
    read -r tx ty < <(show_project 80 -60 3 "$d")
    e2e_check "B: layer 3 reaches its end place ($tx, $ty)" show_wait_pixel "$shot" "$tx" "$ty" 255 0 255 3 20
    e2e_check "B: layer 3 has left its start place" e2e_pixel_near "$shot" "$sx" "$sy" 0 0 0 2
    # At 6 s the script hands over to itself: the scene clock starts again
    # at 0, layer 3 is placed back at its start and stays there for 4 s
    # before it moves again. (A clock that kept counting would find the
    # move due at once and never show the layer back at its start.)
    e2e_check "B: after the hand-over layer 3 is back at its start place" \
      show_wait_pixel "$shot" "$sx" "$sy" 255 0 255 3 20
    # Well inside the 4 s wait even when a screenshot is slow to take.
    sleep 1
    e2e_screenshot "$shot"
    e2e_check "B: and stays there while the new pass waits for its move" \
      e2e_pixel_near "$shot" "$sx" "$sy" 255 0 255 3
    e2e_check "B: then it moves to its end place again" show_wait_pixel "$shot" "$tx" "$ty" 255 0 255 3 20
  fi

  xdotool key space
  show_wait_exit "$pid" 20
  e2e_check "$variant: a key press ends the show with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
  show_stop "$pid"
done

# True when the program's start-up moments (its debug lines) came in the
# order given: moments_in_order LOG MOMENT...
moments_in_order() {
  local log=$1 last=0 at moment
  shift
  for moment in "$@"; do
    at=$(grep -an "debugstr:.*\"quorvelk: $moment\"" "$log" | head -n 1 | cut -d: -f1)
    [ -n "$at" ] && [ "$at" -gt "$last" ] || return 1
    last=$at
  done
}

# Full screen: "/s", and "t" (the show option, but not the exact test
# text) cover the 1024 x 768 screen. Its layout code is 0, for which B's
# camera distance is 251 as well; the aspect is the screen's.
for args in /s t; do
  echo "--- variant B, $args"
  read -r rx ry < <(show_project -55 0 1 251 1024 768)
  : >"$E2E_TMP/wine.log"
  WINEDEBUG=+debugstr show_start B "$args"
  pid=$SHOW_PID
  e2e_check "B $args: red layer 1 at ($rx, $ry) of the full screen" show_wait_pixel "$shot" "$rx" "$ry" 255 0 0 3 30
  # Direct3D is loaded on a thread of its own while the window is made,
  # and the device is made with what it loaded ("taken"; a device that
  # loads its own says "loaded").
  e2e_check "B $args: Direct3D loaded ahead, then the device made, then the first frame" \
    moments_in_order "$E2E_TMP/wine.log" "process started" "direct3d loaded ahead" \
    "direct3d taken" "device made" "first frame presented"
  read -r gx gy < <(show_project 5 0 2 251 1024 768)
  e2e_check "B $args: layer 2 blended over black at ($gx, $gy)" e2e_pixel_near "$shot" "$gx" "$gy" 0 64 0 3
  read -r sx sy < <(show_project -80 -60 3 251 1024 768)
  e2e_check "B $args: layer 3 at its start place ($sx, $sy)" e2e_pixel_near "$shot" "$sx" "$sy" 255 0 255 3
  xdotool key space
  show_wait_exit "$pid" 20
  e2e_check "B $args: a key press ends the show with exit code 0 (got $SHOW_CODE)" test "$SHOW_CODE" = 0
  show_stop "$pid"
done

e2e_finish
