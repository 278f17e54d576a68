# Picture makers for data/make-data.sh (sourced). Every picture is drawn at a
# quarter of its size and enlarged, so the whole set takes seconds; a seeded
# grain then gives the enlarged picture the texture of a photo. Same seed,
# same picture.

# darker COLOUR: the colour at 55 % brightness, as #rrggbb.
darker() { convert xc:"$1" -modulate 55 -format '#%[hex:u.p{0,0}]' info:; }

# landscape OUT W H SEED SKYTOP SKYHORIZON FAR MID NEAR [SUN]
# A sky gradient and three ranges of hills, each lower and darker than the one
# behind it. A hill line is a row of fractal noise spread over the height and
# blended into a vertical gradient, so the threshold gives one wavy horizon.
# SUN is a circle as "-draw circle" takes it, in quarter-size pixels.
landscape() {
  local out=$1 w=$2 h=$3 seed=$4 skytop=$5 skyhor=$6 far=$7 mid=$8 near=$9 sun=${10:-}
  local sw=$((w / 4)) sh=$((h / 4)) t i=0 spec level col blur
  t=$(mktemp -d)
  convert -size ${sw}x${sh} gradient:"$skytop"-"$skyhor" "$t/img.png"
  if [ -n "$sun" ]; then
    convert "$t/img.png" \( -size ${sw}x${sh} xc:black -fill '#fff4dc' -draw "circle $sun" -blur 0x6 \) \
      -compose screen -composite "$t/img.png"
  fi
  for spec in "44:$far:10" "54:$mid:6" "66:$near:3"; do
    level=${spec%%:*}; col=${spec#*:}; col=${col%:*}; blur=${spec##*:}
    convert -size ${sw}x16 -seed $((seed + i)) plasma:fractal -colorspace gray -blur 0x"$blur" -auto-level \
      -crop ${sw}x1+0+8 +repage -resize ${sw}x${sh}! "$t/n.png"
    convert -size ${sw}x${sh} gradient:black-white "$t/n.png" -compose blend -define compose:args=22 -composite \
      -threshold "${level}%" -blur 0x0.6 "$t/m.png"
    convert "$t/img.png" \( -size ${sw}x${sh} gradient:"$col"-"$(darker "$col")" \) "$t/m.png" -composite "$t/img.png"
    i=$((i + 1))
  done
  convert "$t/img.png" -resize ${w}x${h}! -attenuate 0.25 -seed "$seed" +noise Gaussian -quality 88 "$out"
  rm -rf "$t"
}

# bokeh OUT W H SEED BG1 BG2 PALETTE N: out-of-focus lights (N discs of the
# comma-separated PALETTE colours) over a dark gradient.
bokeh() {
  local out=$1 w=$2 h=$3 seed=$4 bg1=$5 bg2=$6 palette=$7 n=$8
  local sw=$((w / 4)) sh=$((h / 4)) t args=() col c1 c2
  t=$(mktemp -d)
  awk -v seed="$seed" -v w="$sw" -v h="$sh" -v n="$n" -v pal="$palette" 'BEGIN {
    srand(seed); k = split(pal, c, ",");
    for (i = 0; i < n; i++) {
      x = int(rand() * w); y = int(rand() * h); r = int(3 + rand() * rand() * w / 10);
      printf "%s %d,%d %d,%d\n", c[1 + int(rand() * k)], x, y, x + r, y;
    } }' >"$t/discs.txt"
  while read -r col c1 c2; do args+=(-fill "$col" -draw "circle $c1 $c2"); done <"$t/discs.txt"
  convert -size ${sw}x${sh} gradient:"$bg1"-"$bg2" "$t/bg.png"
  convert -size ${sw}x${sh} xc:black "${args[@]}" -blur 0x3.5 "$t/discs.png"
  convert "$t/bg.png" \( "$t/discs.png" -evaluate multiply 0.6 \) -compose screen -composite \
    -resize ${w}x${h}! -attenuate 0.25 -seed "$seed" +noise Gaussian -quality 88 "$out"
  rm -rf "$t"
}

# seascape OUT W H SEED SKYTOP SKYHORIZON SEAHORIZON SEABOTTOM SUNX: sky over
# open water with a low sun (SUNX in quarter-size pixels).
seascape() {
  local out=$1 w=$2 h=$3 seed=$4 skytop=$5 skyhor=$6 seahor=$7 seabot=$8 sunx=$9
  local sw=$((w / 4)) sh=$((h / 4)) t hor
  t=$(mktemp -d)
  hor=$((sh * 55 / 100))
  convert -size ${sw}x${hor} gradient:"$skytop"-"$skyhor" \
    \( -size ${sw}x$((sh - hor)) gradient:"$seahor"-"$seabot" \) -append "$t/img.png"
  convert -size ${sw}x${sh} xc:black -fill '#fff3d0' \
    -draw "circle $sunx,$((hor - 22)) $((sunx + 9)),$((hor - 22))" -blur 0x4 \
    -fill '#6a5a40' -draw "rectangle $((sunx - 10)),$((hor + 1)) $((sunx + 10)),$sh" -blur 0x5 "$t/sun.png"
  convert "$t/img.png" "$t/sun.png" -compose screen -composite \
    -resize ${w}x${h}! -attenuate 0.25 -seed "$seed" +noise Gaussian -quality 88 "$out"
  rm -rf "$t"
}

# The ten default stills: photo-sized, one portrait and one panorama.
make_stills() {
  local d=$1
  landscape "$d/still1.jpg" 1600 1200 11 '#3d2a6b' '#f6b26b' '#7a5a8c' '#4a3560' '#21182e' '150,120 150,132'
  bokeh "$d/still2.jpg" 1600 1200 5 '#2b1a10' '#0d0806' '#ffb347,#ff7f50,#ffd27f,#f4e3b2' 60
  seascape "$d/still3.jpg" 1600 1200 3 '#5b8fd6' '#cfe3f2' '#3f7fb0' '#10324f' 250
  landscape "$d/still4.jpg" 1600 1200 21 '#6fa8dc' '#e6f0f7' '#8fb3a0' '#5d8a4e' '#2f5a2a'
  bokeh "$d/still5.jpg" 1200 1600 8 '#0f1a2e' '#05070d' '#7fb3ff,#b0d0ff,#ffe0a0,#9ad1c4' 70
  landscape "$d/still6.jpg" 2400 900 31 '#9ec5e8' '#f3f6fa' '#c9d6e3' '#8ea3ba' '#4c5f75'
  seascape "$d/still7.jpg" 1600 1200 9 '#2c2455' '#f29e6b' '#8a5a6a' '#1e1a33' 130
  landscape "$d/still8.jpg" 1600 1200 41 '#f2c38a' '#fbe7c6' '#d9925b' '#a8572e' '#5a2a16' '260,150 260,160'
  bokeh "$d/still9.jpg" 1600 1200 13 '#1a2a22' '#070d0a' '#c6f08f,#8fe3c0,#f5f0b0,#ffffff' 55
  landscape "$d/still10.jpg" 1600 1200 51 '#a9c9c4' '#e9f1ee' '#9fbab3' '#6f9188' '#3a5a52'
}
