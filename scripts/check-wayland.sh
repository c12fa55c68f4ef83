#!/usr/bin/env bash
# The program on a Wayland desktop: weston's headless compositor (with pixman,
# so that weston-screenshooter has pixels to take) and XWayland.
#   1. With XWayland, with QT_QPA_PLATFORM=wayland (as some desktops set it) and
#      without: the window goes through XWayland, its minimum and maximum size
#      are 453 by 469, its _MOTIF_WM_HINTS ask for a title and a close box only,
#      a resize request leaves its size, and the screenshot shows it.
#   2. Without XWayland: with qt6-wayland the window opens on Wayland itself;
#      without it the program says why it cannot start in one line on stderr.
# Each case leaves a screenshot, kept with --shots, for a person to look at.
#
#   scripts/check-wayland.sh [--program PATH] [--shots DIR]
PACKAGES_EXTRA=(weston xwayland xdotool x11-utils imagemagick)
PRESET=ci
source "$(dirname "$0")/setup.sh"
shots=""
program_options shots "$@"

work=$(mktemp -d)
shots=${shots:-$work/shots}
mkdir -p "$shots"
trap 'jobs -p | xargs -r kill 2>/dev/null || true; wait; rm -rf "$work"' EXIT
failures=0
fail() { echo "  FAIL: $*" >&2; failures=$((failures + 1)); }

export XDG_RUNTIME_DIR=$work/runtime && mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=dragon-valley-check
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
    --socket="$socket" --xwayland --debug --idle-time=0 --no-config \
    --log="$work/weston.log" 2>"$work/weston.stderr" &
for _ in $(seq 100); do
    x_display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" 2>/dev/null || true)
    [ -n "$x_display" ] && [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
    sleep 0.1
done
[ -n "$x_display" ] || { echo "weston did not start with XWayland:" >&2; cat "$work/weston.log" >&2; exit 1; }
# A session on weston as the program sees it; DISPLAY is for the X tools here,
# and the program has it only where it is given.
export WAYLAND_DISPLAY=$socket XDG_SESSION_TYPE=wayland DISPLAY=$x_display

start_program() { env -u DISPLAY -u QT_QPA_PLATFORM "$@" "$program" >"$work/program.log" 2>&1 & program_pid=$!; }
stop_program() { kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; }

# Takes the whole output into $shots/$1.png and sets `placed` to where its
# light blue client area lies ("WxH+X+Y"), empty where it shows none.
screenshot() {
    placed=""
    rm -f "$work"/wayland-screenshot-*.png
    (cd "$work" && timeout 20 weston-screenshooter) || { fail "weston-screenshooter failed"; return; }
    mv "$work"/wayland-screenshot-*.png "$shots/$1.png"
    placed=$(/usr/bin/convert "$shots/$1.png" -fill black +opaque "rgb(128,128,255)" -trim \
        -format '%wx%h%O' info: 2>/dev/null | sed '/^1x1[-+]/d')
}

# Case 1: the window goes through XWayland.
check_through_xwayland() {
    local name=$1 window hints functions decorations size
    shift
    echo "== $name" >&2
    start_program DISPLAY="$x_display" "$@"
    window=$(wait_for_window 20 --class dragon-valley)
    [ -n "$window" ] || { fail "no X11 window: the program did not go through XWayland"
        cat "$work/program.log" >&2; stop_program; return; }
    sleep 0.5
    hints=$(xprop -id "$window" WM_NORMAL_HINTS)
    grep -q 'minimum size: 453 by 469' <<<"$hints" && grep -q 'maximum size: 453 by 469' <<<"$hints" \
        || fail "the minimum or maximum size is not 453 by 469"
    # Flags, functions (8 minimise, 16 maximise), decorations (8 title,
    # 32 minimise, 64 maximise).
    read -r _ functions decorations _ <<<"$(xprop -id "$window" _MOTIF_WM_HINTS | sed -n 's/.*= *//p' | tr -d ,)"
    echo "  _MOTIF_WM_HINTS functions $functions decorations $decorations" >&2
    if [ -z "$decorations" ] || (( (decorations & 0x60) != 0 || (decorations & 0x8) == 0 \
        || (functions & 0x18) != 0 )); then
        fail "the window asks for other buttons than a title bar with a close box"
    fi
    xdotool windowsize "$window" 700 600 && sleep 0.5
    size=$(xwininfo -id "$window" | awk '/^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print w "x" h}')
    echo "  after a resize request: $size" >&2
    [ "$size" = 453x469 ] || fail "the window was resized to $size"
    screenshot "$name"
    echo "  client area on the 1024x768 output: ${placed:-not seen}" >&2
    [ -n "$placed" ] || fail "the screenshot does not show the window"
    stop_program
    # Weston shows an X11 window for a moment after its program has gone.
    for _ in $(seq 30); do
        screenshot closed
        [ -z "$placed" ] && break
        sleep 0.2
    done
    rm -f "$shots/closed.png"
}
check_through_xwayland xwayland-platform-wayland QT_QPA_PLATFORM=wayland
check_through_xwayland xwayland-platform-unset

# Case 2: no X display.
echo "== no-xwayland" >&2
start_program QT_QPA_PLATFORM=wayland
if dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null | grep -q 'ok installed'; then
    echo "  qt6-wayland is installed: the window opens on Wayland itself, in Qt's own frame" >&2
    for _ in $(seq 20); do
        sleep 0.5
        kill -0 "$program_pid" 2>/dev/null || break
        screenshot no-xwayland
        [ -n "$placed" ] && break
    done
    echo "  client area on the output: ${placed:-not seen}" >&2
    [ -n "$placed" ] || { fail "the window did not open on Wayland"; cat "$work/program.log" >&2; }
else
    echo "  qt6-wayland is not installed: the program says why it cannot start" >&2
    if timeout 10 tail -s 0.1 --pid="$program_pid" -f /dev/null; then
        echo "  stderr: $(head -n1 "$work/program.log")" >&2
        head -n1 "$work/program.log" | grep -q '^dragon-valley: .*qt6-wayland' \
            || fail "the first line on stderr does not say what is missing"
    else
        fail "the program still runs without a window system it can use"
    fi
fi
stop_program

[ "$shots" = "$work/shots" ] || echo "screenshots in $shots" >&2
[ "$failures" -eq 0 ] || { echo "wayland: $failures failures" >&2; exit 1; }
echo "wayland: the window goes through XWayland with a title and a close box, at its fixed size" >&2
