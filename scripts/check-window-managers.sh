#!/usr/bin/env bash
# The window under openbox, xfwm4, metacity and no window manager, each on a
# virtual display (Xvfb), measured as a user would see it:
#   - the frame (the client area grown by _NET_FRAME_EXTENTS) is centred on the
#     work area within 2 pixels; without a window manager the client area is;
#   - the window manager offers neither resizing nor maximising, nor minimising
#     where it follows the window's hints (openbox shows it for every window);
#   - the client stays 453 by 469 after a resize and a maximise request;
#   - a screenshot of each screen, kept with --shots, for a person to look at.
#
#   scripts/check-window-managers.sh [--program PATH] [--shots DIR]
PACKAGES_EXTRA=(xvfb xdotool x11-utils wmctrl imagemagick openbox xfwm4 metacity dbus)
PRESET=ci
source "$(dirname "$0")/setup.sh"
shots=""
program_options shots "$@"

work=$(mktemp -d)
shots=${shots:-$work}
mkdir -p "$shots"
# Ends the display and the program; the window manager ends with the display
# (killing dbus-run-session itself would leave xfwm4's D-Bus daemon running).
stop_all() { kill "${xvfb_pid:-}" "${program_pid:-}" 2>/dev/null || true; wait; }
trap 'stop_all; rm -rf "$work"' EXIT
CLIENT_SIZE=453x469
failures=0
fail() { echo "  FAIL: $*" >&2; failures=$((failures + 1)); }

# The client area's absolute "X Y W H".
client_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}
# The numbers of a property (xprop's arguments), nothing where it is not set.
numbers() { xprop "$@" | sed -n 's/.*= *//p' | tr -d ,; }

check_under() {
    local wm=$1 window tries=100 run=("$1")
    echo "== $wm" >&2
    program_pid=""
    start_xvfb 1024x768x24 "$work" || { fail "Xvfb did not start"; return; }
    if [ "$wm" != none ]; then
        # xfwm4 reads its settings from xfconfd over the session's D-Bus: it
        # gets a bus of its own.
        [ "$wm" != xfwm4 ] || run=(dbus-run-session -- xfwm4 --compositor=off)
        "${run[@]}" >"$work/wm.log" 2>&1 &
        # It is up once it names its check window on the root (wmctrl -m).
        until wmctrl -m >/dev/null 2>&1; do
            ((--tries)) || { fail "$wm did not start"; cat "$work/wm.log" >&2; return; }
            sleep 0.1
        done
    fi
    QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 & program_pid=$!
    window=$(wait_for_window 20 --class dragon-valley)
    [ -n "$window" ] || { fail "the program's window did not appear"; return; }

    # Placement ends with one move once the frame is known: wait until the
    # position holds still.
    local now previous=""
    for _ in $(seq 30); do
        sleep 0.2
        now="$(client_geometry "$window") $(numbers -id "$window" _NET_FRAME_EXTENTS)"
        [ "$now" = "$previous" ] && break
        previous=$now
    done
    # No frame extents: no frame; no _NET_WORKAREA: the whole screen.
    local x y w h left right top bottom ax ay aw ah
    read -r x y w h left right top bottom _ <<<"$now 0 0 0 0"
    read -r ax ay aw ah _ <<<"$(numbers -root _NET_WORKAREA) 0 0 1024 768"
    local fx=$((x - left)) fy=$((y - top)) fw=$((w + left + right)) fh=$((h + top + bottom))
    # Twice the distance between the frame's centre and the work area's.
    local dx=$((2 * fx + fw - 2 * ax - aw)) dy=$((2 * fy + fh - 2 * ay - ah))
    echo "  client ${w}x${h} at $x,$y; frame extents left $left right $right top $top bottom $bottom;" \
        "frame ${fw}x${fh} at $fx,$fy; work area ${aw}x${ah} at $ax,$ay;" \
        "frame centre off the area's by $(awk "BEGIN {printf \"%.1f,%.1f\", $dx / 2, $dy / 2}")" >&2
    [ "${w}x${h}" = "$CLIENT_SIZE" ] || fail "client ${w}x${h}, not $CLIENT_SIZE"
    (( ${dx#-} <= 4 && ${dy#-} <= 4 )) || fail "the window is not centred within 2 pixels"

    # Without a window manager nothing stands between a resize request and the
    # X server, and a user has no way to make one.
    if [ "$wm" != none ]; then
        [ "$left$right$top$bottom" != 0000 ] || fail "$wm gave the window no frame extents"
        local actions action
        actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
        echo "  allowed actions: ${actions#*= }" >&2
        # Openbox keeps its minimise button whatever a window asks.
        for action in RESIZE MAXIMIZE $([ "$wm" = openbox ] || echo MINIMIZE); do
            [[ $actions != *_NET_WM_ACTION_$action* ]] || fail "$wm offers _NET_WM_ACTION_$action"
        done
        xdotool windowsize "$window" 700 600
        sleep 0.3
        wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
        sleep 0.3
        read -r _ _ w h <<<"$(client_geometry "$window")"
        echo "  after a resize and a maximise request: client ${w}x${h}" >&2
        [ "${w}x${h}" = "$CLIENT_SIZE" ] || fail "the window was resized to ${w}x${h}"
    fi
    import -window root "$shots/$wm.png"
}

for wm in openbox xfwm4 metacity none; do
    check_under "$wm"
    stop_all
done
[ "$shots" = "$work" ] || echo "screenshots in $shots" >&2
[ "$failures" -eq 0 ] || { echo "window managers: $failures failures" >&2; exit 1; }
echo "window managers: the window is centred and keeps its size under openbox, xfwm4, metacity and none" >&2
