#!/usr/bin/env bash
# Takes docs/screenshot.png, a game in progress: the game runs on a virtual X server and xdotool plays a
# few turns, then the game window is captured in the middle of a turn. With a scale factor, the game runs as
# on a high-density screen of that many device pixels per logical pixel.
#   tools/screenshot.sh [program] [output] [scale]      (needs xvfb, xdotool and ImageMagick)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$top/build/release/pairfield}
out=${2:-$top/docs/screenshot.png}
scale=${3:-1}

for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing (xvfb, xdotool, imagemagick)" >&2; exit 1; }
done
if [ -z "${PAIRFIELD_SCREENSHOT_DISPLAY:-}" ]; then
    exec env PAIRFIELD_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 2400x1800x24" "$0" "$program" "$out" "$scale"
fi

QT_SCALE_FACTOR=$scale "$program" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

origin() { # the top-left corner of a window, as "x y"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$X $Y"
}
click() { # at a window's origin plus an offset in logical pixels
    xdotool mousemove "$(awk -v o="$1" -v d="$3" -v s="$scale" 'BEGIN { printf "%d", o + d * s }')" \
        "$(awk -v o="$2" -v d="$4" -v s="$scale" 'BEGIN { printf "%d", o + d * s }')" click 1
}

setup=$(xdotool search --sync --onlyvisible --name '^Pairfield: Getting Started$' | head -n 1)
read -r sx sy < <(origin "$setup")
click "$sx" "$sy" 600 164 # PLAY, with the default board of 24 cards
game=$(xdotool search --sync --onlyvisible --name '^Pairfield$' | head -n 1)
read -r gx gy < <(origin "$game")
sleep 0.5

turn() { # the centre of the back of cell $1 on the board of 6 columns, 2 columns in from the left
    local column=$((($1 - 1) % 6)) row=$((($1 - 1) / 6))
    click "$gx" "$gy" $(((2600 + 1000 * column + 360) / 15)) $(((480 + 1440 * row + 270) / 15))
}
for cells in "1 2" "3 4" "7 8" "13 14" "19 20"; do
    read -r a b <<<"$cells"
    turn "$a"
    turn "$b"
    sleep 2.3
done
turn 10
turn 17
sleep 0.5
import -window "$game" "$out"
echo "screenshot.sh: wrote $out"
