#!/usr/bin/env bash
# The README's pictures, from the real program on a virtual display (Xvfb)
# pressed with xdotool as a user would press it:
#   docs/screenshot.png  the window in play: four ropes, one of each verdict,
#                        judged by "Рицар"
#   docs/patterns.png    the four line patterns, cut from the canvas of a second
#                        round and enlarged three times, with their verdicts
#
#   scripts/screenshot.sh [--program PATH] [--output DIR]
# --program runs another copy than build/'s, e.g. /usr/bin/dragon-valley.
PACKAGES_EXTRA=(xvfb xdotool imagemagick)
PRESET=default
source "$(dirname "$0")/setup.sh"
output=$ROOT/docs
program_options output "$@"
mkdir -p "$output"

# Debian's ImageMagick, whatever else is first on PATH.
CONVERT=/usr/bin/convert
FONT=/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
work=$(mktemp -d)
trap 'jobs -p | xargs -r kill 2>/dev/null || true; wait; rm -rf "$work"' EXIT
start_xvfb 800x600x24 "$work"
export QT_QPA_PLATFORM=xcb

# The canvas lies at (8, 32) in the window with a 2-pixel border; its drawing
# area of 296 by 296 pixels is 500 by 500 canvas units.
pixel_x() { echo $(( 8 + 2 + $1 * 296 / 500 )); }
pixel_y() { echo $(( 32 + 2 + $1 * 296 / 500 )); }

# A round: starts the program, presses the canvas at the given canvas units,
# pair by pair, then "Рицар", and takes the window into $work/$1.png.
play_round() {
    local name=$1 pid window
    shift
    "$program" & pid=$!
    window=$(wait_for_window 20 --class dragon-valley)
    [ -n "$window" ] || { echo "the program's window did not appear" >&2; exit 1; }
    sleep 0.5
    while [ $# -gt 0 ]; do
        xdotool mousemove --window "$window" "$(pixel_x "$1")" "$(pixel_y "$2")" click 1 && sleep 0.15
        shift 2
    done
    xdotool mousemove --window "$window" $(( 328 + 52 )) $(( 240 + 12 )) click 1 && sleep 0.5
    /usr/bin/import -window "$window" "$work/$name.png"
    kill "$pid" && wait "$pid" || true
}

# Round 1, the screenshot. The first press, in the top-left corner, lies beside
# the illustration and hides it. The valley is the circle of radius 225 round
# (250, 250), so every end point but one lies in the canvas's corners or margins:
# through the centre, in the fire (dotted); 100 from the centre, the rope wins
# (solid); 205 from it, too far (dashed); an end inside the valley (dash-dot-dot).
play_round screenshot \
    5 5      495 495 \
    5 150    495 150 \
    455 8    455 492 \
    200 330  8 480
"$CONVERT" "$work/screenshot.png" -strip "$output/screenshot.png"

# Round 2, the legend: four level ropes, each cut where no circle crosses it.
play_round legend-round \
    5 20     495 20 \
    5 110    495 110 \
    5 200    495 200 \
    5 470    250 470

# A row of the legend: the strip of the rope at canvas height $3 between canvas
# units $4 and $5, enlarged, and its verdict $2 beside it.
row() {
    local y x1 x2
    y=$(pixel_y "$3"); x1=$(pixel_x "$4"); x2=$(pixel_x "$5")
    "$CONVERT" "$work/legend-round.png" -crop "$(( x2 - x1 ))x7+${x1}+$(( y - 3 ))" +repage \
        -filter point -resize 300% "$work/$1.png"
    "$CONVERT" -size 560x30 xc:white "$work/$1.png" -gravity west -geometry +10+0 -composite \
        -font "$FONT" -pointsize 15 -fill black -gravity west -annotate +340+0 "$2" \
        "$work/row-$1.png"
}
row solid "solid: the rope wins land" 110 95 165
row dash "dash: too far from the dragon" 20 10 120
row dot "dot: within the dragon's fire" 200 38 104
row dashdotdot "dash-dot-dot: an end in the valley" 470 10 160
"$CONVERT" "$work"/row-{solid,dash,dot,dashdotdot}.png -append -bordercolor white -border 6 \
    -strip "$output/patterns.png"

echo "Wrote $output/screenshot.png and $output/patterns.png" >&2
