#!/usr/bin/env bash
# The Windows release under Wine (Debian's wine64) on a virtual display (Xvfb),
# in Wine's own desktop, where Wine frames and places windows as Windows does:
#   - the program, its tests and the session player cross-built, the zip and the
#     installer made (scripts/build-windows.sh);
#   - the test suite under Wine, on Qt's Windows platform;
#   - tests/session.txt played by the session player under Wine: the canvas after
#     each step must be the Linux program's after the same clicks, pixel for pixel;
#   - the portable program from the zip opens centred with its frame;
#   - the installer, silent, for all users and for the current user: the files,
#     the Start-menu shortcut, the "Apps and features" entry, the program starting
#     from the shortcut; then the uninstaller removes all of it.
#
#   scripts/check-windows.sh [--shots DIR]
#
# DIR keeps the session's pictures from Wine (windows-window.png: the window in
# play, with Wine's frame). Without a Qt 6.8.2 for MinGW beside the repository or
# in the cache, it says how to make one and skips.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/release.sh"
if ! release_qt mingw-w64; then
    echo "check-windows: skipped: no Qt $QT_VERSION for MinGW here; make it once with scripts/build-windows.sh (about an hour)"
    exit 77
fi
PRESET=ci
PACKAGES_EXTRA=(wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick)
source "$ROOT/scripts/setup.sh"
shots=
[ "${1:-}" != --shots ] || shots=$(realpath -m "$2")

failures=0
fail() { echo "  FAIL: $*" >&2; failures=$((failures + 1)); }

configure_and_build   # the Linux session player
"$ROOT/scripts/build-windows.sh" --with-tests --out "$ROOT/build-windows"
build=$RELEASE/mingw-w64
zip=$(ls "$ROOT"/build-windows/DragonValley-*-win64.zip)
name=$(basename "$zip" .zip)

work=$(mktemp -d)
shots=${shots:-$work/shots}
mkdir -p "$shots"
WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=$DV_CACHE/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The DLLs of Qt and of MinGW-w64's runtime, for the tests and the session player.
WINEPATH="$QT_DIR/bin;$(ls -d "$SYSTEM"/usr/lib/gcc/x86_64-w64-mingw32/*-posix);$SYSTEM/usr/x86_64-w64-mingw32/lib"
export WINEPATH
trap '"$WINESERVER" -k 2>/dev/null; kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
start_xvfb 1024x768x24 "$work"

# One Wine prefix, kept, in which every program runs in Wine's desktop of the
# display's size. Debian's wine does not find fonts-wine's Marlett, whose glyphs
# are the close box: Windows's font folder has it.
[ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot --init >/dev/null 2>&1
cp -u /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# One Wine server and its desktop for everything that follows: a program then
# starts in a second, and no service it started keeps CTest waiting.
"$WINESERVER" -w; "$WINESERVER" -p
"$WINE" explorer /desktop=Default,1024x768 >/dev/null 2>&1 &
sleep 2

echo "== the test suite under Wine" >&2
if ! DV_SESSION_ACTIONS=1000 ctest --test-dir "$build" --label-exclude '^(locale|density|memcheck|long)$'; then
    fail "the test suite under Wine"
    # Under Wine a test's output does not reach CTest: each failed test again,
    # with its log in a file.
    sed 's/^[0-9]*://' "$build/Testing/Temporary/LastTestsFailed.log" | while read -r test; do
        QT_QPA_PLATFORM=windows "$WINE" "$build/$test.exe" -o "Z:$work/$test.txt,txt" >/dev/null 2>&1
        grep -v '^PASS' "$work/$test.txt" >&2
    done
fi

echo "== the session, under Wine and on Linux" >&2
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/tests/session-shots" "$ROOT/tests/session.txt" "$work/linux"
QT_QPA_PLATFORM=windows "$WINE" "$build/session-shots.exe" "Z:$ROOT/tests/session.txt" "Z:$shots" \
    >"$work/session.log" 2>&1 || { fail "the session player under Wine"; cat "$work/session.log" >&2; }
for linux in "$work"/linux/*.png; do
    step=$(basename "$linux" .png)
    [ "$step" != judged-window ] || { mv "$shots/$step.png" "$shots/windows-window.png"; continue; }
    differing=$(compare -metric AE "$shots/$step.png" "$linux" "$shots/$step-difference.png" 2>&1 >/dev/null)
    echo "  canvas after '$step': $differing differing pixels" >&2
    [ "$differing" = 0 ] || fail "the canvas under Wine differs from Linux after '$step'"
done

CAPTION="www.example.org Приказна геометрия за ученици"
# Waits for the program's window in Wine's desktop (Wine may replace the first
# X window it shows: the one found must still be there a second later) and
# prints "FRAME_X FRAME_Y FRAME_W FRAME_H".
wine_window() {
    local id info
    for _ in $(seq 30); do
        id=$(wait_for_window 60 --name "^$CAPTION\$") && [ -n "$id" ] || return 1
        sleep 1
        info=$(xwininfo -id "$id" 2>/dev/null) && break
    done
    awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}' <<<"$info"
}

echo "== the portable program" >&2
unzip -q "$zip" -d "$work/portable"
(cd "$work/portable/$name" && "$WINE" dragon-valley.exe >/dev/null 2>&1 &)
if read -r x y w h < <(wine_window); then
    # Centred with its frame on the 1024 by 768 desktop: across to a pixel; down
    # to 4, as Qt takes Wine's title bar for 4 pixels shorter than it is.
    echo "  window frame ${w}x${h} at $x,$y" >&2
    left_right=$((x - (1024 - x - w))) above_below=$((y - (768 - y - h)))
    [ "${left_right#-}" -le 1 ] && [ "${above_below#-}" -le 4 ] || fail "the window is not centred"
else
    fail "the portable program's window did not appear"
fi
"$WINESERVER" -k 2>/dev/null

drive_c=$WINEPREFIX/drive_c
profile=$(ls -d "$drive_c"/users/*/AppData | grep -v /Public/ | head -n1)
expected=$(cd "$work/portable/$name" && find . -type f | sort)
check_install() {
    local mode=$1 dir=$2 menu=$3 key="$4\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DragonValley"
    echo "== the installer, /S /$mode" >&2
    "$WINE" "$ROOT/build-windows/$name-setup.exe" /S "/$mode" >/dev/null 2>&1 || fail "$mode: the installer failed"
    "$WINESERVER" -w
    [ "$(cd "$dir" && find . -type f ! -name uninstall.exe | sort)" = "$expected" ] \
        || fail "$mode: $dir does not hold the portable folder's files"
    [ -f "$dir/uninstall.exe" ] && [ -f "$menu/Dragon Valley.lnk" ] || fail "$mode: no uninstaller or no shortcut"
    "$WINE" reg query "$key" /reg:64 2>/dev/null | tr -d '\r' | grep -q 'DisplayVersion.*1\.0\.0' \
        || fail "$mode: no \"Apps and features\" entry with the version"
    "$WINE" start /unix "$menu/Dragon Valley.lnk" >/dev/null 2>&1
    wine_window >/dev/null || fail "$mode: the program did not start from the Start-menu shortcut"
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w
    # The uninstaller copies itself away and removes the folder from there.
    "$WINE" "$dir/uninstall.exe" /S "/$mode" >/dev/null 2>&1 || fail "$mode: the uninstaller failed"
    for _ in $(seq 60); do
        [ -e "$dir" ] || break
        sleep 0.5
    done
    "$WINESERVER" -w
    [ ! -e "$dir" ] && [ ! -e "$menu/Dragon Valley.lnk" ] || fail "$mode: files are left after uninstalling"
    ! "$WINE" reg query "$key" /reg:64 >/dev/null 2>&1 || fail "$mode: the entry is left after uninstalling"
}
check_install AllUsers "$drive_c/Program Files/Dragon Valley" \
    "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" HKLM
check_install CurrentUser "$profile/Local/Programs/Dragon Valley" \
    "$profile/Roaming/Microsoft/Windows/Start Menu/Programs" HKCU

[ "$failures" -eq 0 ] || { echo "check-windows: $failures failure(s)" >&2; exit 1; }
echo "check-windows: the suite, the session's canvas and the installer passed under Wine" >&2
