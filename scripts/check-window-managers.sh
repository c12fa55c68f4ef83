#!/usr/bin/env bash
# The window under real X11 window managers, each on a virtual display (Xvfb):
# openbox, xfwm4 and metacity, and none at all. For each it starts the program
# and measures, as a user would see it:
#   - where the window lies: the frame (the client area grown by the window
#     manager's _NET_FRAME_EXTENTS) is centred on the work area within 2 pixels;
#     without a window manager there is no frame and the client area is centred;
#   - that the window manager offers neither resizing nor maximising
#     (_NET_WM_ALLOWED_ACTIONS), nor minimising where it follows the window's
#     hints (openbox shows its minimise button for every window);
#   - that the client stays 453 by 469 after a resize and a maximise request
#     (under a window manager: without one nothing refuses them);
#   - a screenshot of the screen, for a person to look at.
#
#   scripts/check-window-managers.sh [--program PATH] [--shots DIR]
#
# By default it builds the program (into build/, or $BUILD_DIR); --program runs
# another copy, and --shots keeps the screenshots (one per window manager).
PACKAGES_EXTRA=(xvfb xdotool x11-utils wmctrl imagemagick openbox xfwm4 metacity dbus)
PRESET=ci
source "$(dirname "$0")/setup.sh"

shots=""
program_options shots "$@"

work=$(mktemp -d)
shots=${shots:-$work}
mkdir -p "$shots"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

CLIENT_SIZE="453x469"
failures=0
fail() {
    echo "  FAIL: $*" >&2
    failures=$((failures + 1))
}

# The client area's absolute position and size: "X Y W H".
client_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}

# The frame's extents "LEFT RIGHT TOP BOTTOM", 0 0 0 0 where there is no frame.
frame_extents() {
    local extents
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ,)
    echo "${extents:-0 0 0 0}"
}

# The work area "X Y W H": the first desktop's _NET_WORKAREA, or the whole screen.
work_area() {
    local area
    area=$(xprop -root _NET_WORKAREA | sed -n 's/.*= *//p' | tr -d , | cut -d' ' -f1-4)
    if [ -z "$area" ]; then
        area=$(xwininfo -root | awk '/^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print 0, 0, w, h}')
    fi
    echo "$area"
}

check_under() {
    local wm=$1 program_pid window
    echo "== $wm" >&2
    start_xvfb 1024x768x24 "$work" || { pids+=("$xvfb_pid"); fail "Xvfb did not start"; return; }
    pids+=("$xvfb_pid")

    if [ "$wm" != none ]; then
        case $wm in
            # xfwm4 reads its settings from xfconfd, which it reaches through
            # the session's D-Bus: it gets a session bus of its own.
            xfwm4) dbus-run-session -- xfwm4 --compositor=off >"$work/$wm.log" 2>&1 & ;;
            *) "$wm" >"$work/$wm.log" 2>&1 & ;;
        esac
        pids+=($!)
        # The window manager is up once it names its check window on the root.
        for _ in $(seq 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
        xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' \
            || { fail "$wm did not start"; cat "$work/$wm.log" >&2; return; }
    fi

    env QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
    window=$(wait_for_window 20 --class dragon-valley)
    [ -n "$window" ] || { fail "the program's window did not appear"; return; }

    # Placement ends with one move once the frame is known: wait until the
    # position holds still.
    local geometry previous="" extents
    for _ in $(seq 30); do
        sleep 0.2
        geometry="$(client_geometry "$window") $(frame_extents "$window")"
        [ "$geometry" = "$previous" ] && break
        previous=$geometry
    done
    local x y w h left right top bottom ax ay aw ah
    read -r x y w h <<<"$(client_geometry "$window")"
    read -r left right top bottom <<<"$(frame_extents "$window")"
    read -r ax ay aw ah <<<"$(work_area)"
    local fx=$((x - left)) fy=$((y - top)) fw=$((w + left + right)) fh=$((h + top + bottom))
    # Twice the distance between the frame's centre and the work area's.
    local dx=$((2 * fx + fw - 2 * ax - aw)) dy=$((2 * fy + fh - 2 * ay - ah))
    echo "  client ${w}x${h} at $x,$y; frame extents left $left right $right top $top bottom $bottom;" \
        "frame ${fw}x${fh} at $fx,$fy; work area ${aw}x${ah} at $ax,$ay;" \
        "frame centre off the area's by $(awk "BEGIN {printf \"%.1f,%.1f\", $dx / 2, $dy / 2}")" >&2
    [ "${w}x${h}" = "$CLIENT_SIZE" ] || fail "client ${w}x${h}, not $CLIENT_SIZE"
    if [ "$wm" != none ] && [ "$left$right$top$bottom" = 0000 ]; then
        fail "$wm gave the window no frame extents"
    fi
    if [ "${dx#-}" -gt 4 ] || [ "${dy#-}" -gt 4 ]; then
        fail "the window is not centred within 2 pixels"
    fi

    if [ "$wm" != none ]; then
        local actions
        actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
        echo "  allowed actions: ${actions#*= }" >&2
        case $actions in *_NET_WM_ACTION_RESIZE*) fail "$wm offers resizing" ;; esac
        case $actions in *_NET_WM_ACTION_MAXIMIZE*) fail "$wm offers maximising" ;; esac
        # Openbox keeps its minimise button whatever a window asks.
        if [ "$wm" != openbox ]; then
            case $actions in *_NET_WM_ACTION_MINIMIZE*) fail "$wm offers minimising" ;; esac
        fi
    fi

    # Without a window manager nobody stands between a resize request and the
    # X server, and the user has no way to ask for one.
    if [ "$wm" != none ]; then
        xdotool windowsize "$window" 700 600
        sleep 0.3
        wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
        sleep 0.3
        read -r x y w h <<<"$(client_geometry "$window")"
        echo "  after a resize and a maximise request: client ${w}x${h}" >&2
        [ "${w}x${h}" = "$CLIENT_SIZE" ] || fail "the window was resized to ${w}x${h}"
    fi

    import -window root "$shots/$wm.png"
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    pids=()
}

for wm in openbox xfwm4 metacity none; do
    check_under "$wm"
done
[ "$shots" = "$work" ] || echo "screenshots in $shots" >&2
if [ "$failures" -gt 0 ]; then
    echo "window managers: $failures failures" >&2
    exit 1
fi
echo "window managers: the window is centred and keeps its size under openbox, xfwm4, metacity and none" >&2
