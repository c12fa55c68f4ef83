#!/usr/bin/env bash
# The Windows release under Wine (Debian's wine64) on a virtual display (Xvfb), in
# Wine's own desktop, where Wine draws the windows' frames as Windows does:
#   - cross-builds the program and its tests and makes the zip and the installer
#     (scripts/build-windows.sh), with the prebuilt Qt of ../shared/windows/ when
#     it lies beside the repository, else with the Qt in the cache;
#   - runs the test suite under Wine, on Qt's Windows platform;
#   - unzips the portable folder, starts the program and plays a session with
#     xdotool: points, "Рицар", a removal ("Без точка"), "Чисти всичко", new
#     points and "Рицар"; at each step its canvas must be the Linux program's
#     after the same clicks, pixel for pixel;
#   - installs silently (/S) for all users and for the current user: the files,
#     the Start-menu shortcut and the "Apps and features" entry are there and the
#     program starts from the shortcut; the uninstaller removes all of it.
#
#   scripts/check-windows.sh [--shots DIR]
#
# --shots keeps the screenshots: the Windows window in play, and each step's
# canvas from Wine and from Linux. The Wine prefix is kept in
# $DV_CACHE/wine-prefix (made once, about 20 s).
# The cross build runs the host's Qt tools (moc, rcc) for a Qt 6.4.2 for MinGW:
# they must be Qt 6.4.2 too, Debian 12's.
if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != bookworm ]; then
    echo "check-windows: skipped: the Windows release is built on Debian 12, whose Qt 6.4.2 tools match its Qt for MinGW" >&2
    exit 77
fi
PACKAGES_EXTRA=(wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick)
PRESET=ci
source "$(dirname "$0")/setup.sh"
source "$ROOT/scripts/debian-system.sh"   # DV_CACHE

shots=""
while [ $# -gt 0 ]; do
    case "$1" in
        --shots) shots=$(realpath -m "$2"); shift 2 ;;
        *) echo "usage: $0 [--shots DIR]" >&2; exit 2 ;;
    esac
done

failures=0
fail() {
    echo "  FAIL: $*" >&2
    failures=$((failures + 1))
}

# The Linux program, for its canvas.
configure_and_build
linux_program=$BUILD_DIR/app/dragon-valley

# The Windows build: the Qt beside the repository when there is one.
qt_option=()
prebuilt=$ROOT/../shared/windows/qt-6.4.2-mingw-w64.tar.xz
if [ -f "$prebuilt" ]; then
    qt_option=(--qt "$prebuilt")
elif [ ! -f "$DV_CACHE/qt-6.4.2-mingw-w64/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    echo "No Qt for MinGW: neither $prebuilt nor one in $DV_CACHE." >&2
    echo "Run scripts/build-windows.sh once (it builds Qt from source, about an hour)." >&2
    exit 1
fi
release=$ROOT/build-windows/release
echo "== cross-building" >&2
"$ROOT/scripts/build-windows.sh" "${qt_option[@]}" --with-tests --out "$release"
export DV_QT_MINGW=$DV_CACHE/qt-6.4.2-mingw-w64
zip_file=$(ls "$release"/DragonValley-*-win64.zip)
name=$(basename "$zip_file" .zip)
setup=$release/$name-setup.exe

work=$(mktemp -d)
shots=${shots:-$work/shots}
mkdir -p "$shots"
xvfb_pid=""
linux_pid=""
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=$DV_CACHE/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    "$WINESERVER" -k 2>/dev/null || true
    [ -n "$linux_pid" ] && kill "$linux_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 1024x768x24 "$work"

# One Wine prefix, kept; every program runs in Wine's own desktop of the
# display's size, whose frames and placement are Windows's. (Outside it an X11
# window manager would frame and place Wine's windows by its own rules: openbox
# puts a window larger than the screen at 1,-3, not at Windows's 0,0.)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making a Wine prefix in $WINEPREFIX (once)" >&2
    "$WINE" wineboot --init >/dev/null 2>&1
fi
# Debian's wine does not find the fonts of its fonts-wine, Marlett among them,
# whose glyphs are the title bar's close box: Windows's font folder has it.
cp -u /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
"$WINESERVER" -w

# --- The test suite under Wine.
echo "== the test suite under Wine" >&2
# One Wine server, its services and its desktop for the whole suite, started
# here, apart from CTest: a test program then starts in a second, and no service
# that a test started keeps CTest waiting on the test's output.
"$WINESERVER" -p
"$WINE" explorer /desktop=Default,1024x768 >/dev/null 2>&1 &
sleep 2
if ! (cd "$ROOT" && DV_SESSION_ACTIONS=${DV_SESSION_ACTIONS:-1000} ctest --preset windows); then
    fail "the test suite under Wine"
    # Under Wine a test's standard output does not reach CTest: run each failed
    # test again with its log in a file, and show what failed.
    failed_log=$ROOT/build-windows/Testing/Temporary/LastTestsFailed.log
    [ -f "$failed_log" ] && sed 's/^[0-9]*://' "$failed_log" | while read -r test; do
        QT_QPA_PLATFORM=windows \
        WINEPATH="$DV_QT_MINGW/bin;/usr/lib/gcc/x86_64-w64-mingw32/12-posix;/usr/x86_64-w64-mingw32/lib" \
            "$WINE" "$ROOT/build-windows/$test.exe" -o "Z:$work/$test.txt,txt" >/dev/null 2>&1 || true
        echo "--- $test" >&2
        grep -v -e '^PASS' -e '^QCRITICAL.*EnableNonClientDpiScaling' "$work/$test.txt" >&2 || true
    done
fi

# --- The portable program, played, against the Linux program.
CLIENT_W=453
CLIENT_H=469
# The canvas lies at (8, 32) in the window with a 2-pixel border; its drawing
# area of 296 by 296 pixels is 500 by 500 canvas units.
pixel_x() { echo $(( 8 + 2 + $1 * 296 / 500 )); }
pixel_y() { echo $(( 32 + 2 + $1 * 296 / 500 )); }

window=""       # the X window to click in
origin_x=0      # the client area's place in that window
origin_y=0
click() {
    xdotool mousemove --window "$window" $(( origin_x + $1 )) $(( origin_y + $2 )) click 1
    sleep 0.3
}
press_canvas() {
    while [ $# -gt 0 ]; do
        click "$(pixel_x "$1")" "$(pixel_y "$2")"
        shift 2
    done
}
press_knight() { click $(( 328 + 52 )) $(( 240 + 12 )); sleep 0.5; }
press_remove() { click $(( 328 + 52 )) $(( 272 + 12 )); sleep 0.5; }
press_clear() { click $(( 328 + 52 )) $(( 304 + 12 )); sleep 0.5; }
# A row of the X list (rows of 18 pixels inside its 1-pixel frame).
select_row() { click $(( 344 + 30 )) $(( 32 + 1 + 9 + 18 * $1 )); }

# The drawing area of the canvas, cut from a picture of the whole display.
capture_canvas() {
    import -window root "$work/$(basename "$1")"
    convert "$work/$(basename "$1")" -crop "296x296+$(( client_x + 10 ))+$(( client_y + 34 ))" +repage "$1"
}

# The session, the same on both systems; $1 names the pictures.
play() {
    # Four ropes, one of each verdict; the first press, beside the
    # illustration, hides it.
    press_canvas 5 5  495 495  5 150  495 150  455 8  455 492  200 330  8 480
    press_knight
    capture_canvas "$shots/$1-1-judged.png"
    select_row 2
    press_remove
    capture_canvas "$shots/$1-2-removed.png"
    press_clear
    press_canvas 20 60  480 60  60 480  480 300
    press_knight
    capture_canvas "$shots/$1-3-cleared-judged.png"
}

echo "== the Linux program's session (Xvfb)" >&2
QT_QPA_PLATFORM=xcb "$linux_program" &
linux_pid=$!
window=$(wait_for_window 20 --class dragon-valley)
if [ -z "$window" ]; then
    fail "the Linux program's window did not appear"
else
    sleep 0.5
    read -r client_x client_y < <(xwininfo -id "$window" \
        | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}')
    origin_x=0
    origin_y=0
    play linux
fi
kill "$linux_pid" 2>/dev/null
wait "$linux_pid" 2>/dev/null || true
linux_pid=""

echo "== the portable program under Wine" >&2
portable=$work/portable
mkdir -p "$portable"
unzip -q "$zip_file" -d "$portable"
CAPTION="www.example.org Приказна геометрия за ученици"

# Waits for the program's top-level window in Wine's desktop and finds its
# client area: Wine's frame is as wide on the left as on the right and below,
# and the title bar is above. Prints "WINDOW FRAME_X FRAME_Y FRAME_W FRAME_H".
wine_window() {
    local id info deadline=$((SECONDS + 60))
    # Wine may replace the X window it first shows while the program sets its
    # window up: the one found must still be there a second later.
    while [ "$SECONDS" -lt "$deadline" ]; do
        id=$(wait_for_window $((deadline - SECONDS)) --name "^$CAPTION\$")
        [ -n "$id" ] || return 1
        sleep 1
        if info=$(xwininfo -id "$id" 2>/dev/null); then
            awk -v id="$id" '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print id, x, y, w, h}' <<<"$info"
            return 0
        fi
    done
    return 1
}

(cd "$portable/$name" && "$WINE" dragon-valley.exe >"$work/portable.log" 2>&1 &)
if ! read -r window frame_x frame_y frame_w frame_h < <(wine_window); then
    fail "the portable program's window did not appear under Wine"
else
    border=$(( (frame_w - CLIENT_W) / 2 ))
    origin_x=$border
    origin_y=$(( frame_h - CLIENT_H - border ))
    client_x=$(( frame_x + origin_x ))
    client_y=$(( frame_y + origin_y ))
    echo "  window frame ${frame_w}x${frame_h} at $frame_x,$frame_y, client area at $client_x,$client_y" >&2
    # Centred with its frame on the 1024 by 768 desktop: across to a pixel; down
    # to 4, as under Wine Qt takes the frame for 4 pixels shorter than the one
    # Wine draws (139 pixels above it and 135 below).
    left_right=$(( frame_x - (1024 - frame_x - frame_w) ))
    above_below=$(( frame_y - (768 - frame_y - frame_h) ))
    [ "${left_right#-}" -le 1 ] && [ "${above_below#-}" -le 4 ] \
        || fail "the window is not centred: frame ${frame_w}x${frame_h} at $frame_x,$frame_y"
    play wine
    # The window as a person sees it after the ropes were judged (the README's).
    convert "$work/wine-1-judged.png" -crop "${frame_w}x${frame_h}+$frame_x+$frame_y" +repage \
        "$shots/windows-window.png"
    for step in 1-judged 2-removed 3-cleared-judged; do
        differing=$(compare -metric AE "$shots/wine-$step.png" "$shots/linux-$step.png" \
            "$shots/difference-$step.png" 2>&1 >/dev/null || true)
        echo "  canvas after $step: $differing differing pixels of 87616" >&2
        [ "$differing" = 0 ] || fail "the canvas under Wine differs from Linux after $step ($differing pixels)"
    done
fi
"$WINESERVER" -k 2>/dev/null || true

# --- The installer, silent, for all users and for the user alone.
# Windows's paths in the prefix.
drive_c=$WINEPREFIX/drive_c
profile=$(ls -d "$drive_c"/users/*/AppData | grep -v /Public/ | head -n1)
expected_files=$(cd "$portable/$name" && find . -type f | sort)

check_install() {
    local mode=$1 dir=$2 menu=$3 hive=$4 key='Software\Microsoft\Windows\CurrentVersion\Uninstall\DragonValley'
    echo "== the installer, /S /$mode" >&2
    "$WINE" "$setup" /S "/$mode" >/dev/null 2>&1 || fail "$mode: the installer failed"
    "$WINESERVER" -w
    if [ "$(cd "$dir" 2>/dev/null && find . -type f ! -name uninstall.exe | sort)" != "$expected_files" ]; then
        fail "$mode: $dir does not hold the portable folder's files"
    fi
    [ -f "$dir/uninstall.exe" ] || fail "$mode: no uninstaller in $dir"
    [ -f "$menu/Dragon Valley.lnk" ] || fail "$mode: no shortcut in $menu"
    local entry
    entry=$("$WINE" reg query "$hive\\$key" /reg:64 2>/dev/null | tr -d '\r' || true)
    grep -q 'DisplayVersion.*1\.0\.0' <<<"$entry" || fail "$mode: no \"Apps and features\" entry with the version"
    grep -q 'UninstallString.*uninstall.exe' <<<"$entry" || fail "$mode: no uninstaller in the entry"
    # The program from the Start-menu shortcut.
    "$WINE" start /unix "$menu/Dragon Valley.lnk" >/dev/null 2>&1 || fail "$mode: the shortcut did not open"
    if read -r _ _ _ frame_w frame_h < <(wine_window); then
        echo "  started from the shortcut: window ${frame_w}x${frame_h}" >&2
    else
        fail "$mode: the program did not start from the Start-menu shortcut"
    fi
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w
    # The uninstaller copies itself away and removes the folder from there.
    "$WINE" "$dir/uninstall.exe" /S "/$mode" >/dev/null 2>&1 || fail "$mode: the uninstaller failed"
    for _ in $(seq 60); do
        [ -e "$dir" ] || break
        sleep 0.5
    done
    "$WINESERVER" -w
    [ ! -e "$dir" ] || fail "$mode: $dir is still there after uninstalling: $(cd "$dir" && find . | head)"
    [ ! -e "$menu/Dragon Valley.lnk" ] || fail "$mode: the shortcut is still there after uninstalling"
    if "$WINE" reg query "$hive\\$key" /reg:64 >/dev/null 2>&1; then
        fail "$mode: the \"Apps and features\" entry is still there after uninstalling"
    fi
}
check_install AllUsers "$drive_c/Program Files/Dragon Valley" \
    "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" HKLM
check_install CurrentUser "$profile/Local/Programs/Dragon Valley" \
    "$profile/Roaming/Microsoft/Windows/Start Menu/Programs" HKCU

if [ "$failures" -gt 0 ]; then
    echo "check-windows: $failures failure(s)" >&2
    exit 1
fi
echo "check-windows: the suite, the session's canvas and the installer passed under Wine" >&2
