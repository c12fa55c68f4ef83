#!/usr/bin/env bash
# The browser release, played in a real browser: builds the web folder
# (scripts/build-web.sh, warnings as errors) and runs the logic tests built as
# WebAssembly under node; plays scripts/web-session.txt on the Linux window
# (tests/sessionshots.cpp, offscreen, at 100 % and 200 %) for the reference;
# serves the folder on 127.0.0.1 and plays the same session in Debian's
# Chromium, headless, through its DevTools protocol (scripts/check-web.js with
# puppeteer-core from the npm registry, kept in $DV_CACHE/web-check): the canvas
# after each step must be the Linux one pixel for pixel. At the end it stops the
# server and opens the page again: the browser's copy must start the program.
#   scripts/check-web.sh [--shots DIR]
# DIR (by default build-web/shots) keeps the browser's screenshots: the page
# after "Рицар" at 100 % and 200 %, the canvas at each step and where it differs.
PRESET=ci
PACKAGES_EXTRA=(chromium nodejs python3)
source "$(dirname "$0")/setup.sh"
# Debian's nodejs comes without npm, other builds of node bring their own.
command -v npm >/dev/null || install_packages npm
source "$ROOT/scripts/debian-system.sh"

shots=$ROOT/build-web/shots
if [ "${1:-}" = --shots ]; then
    shots=$2
fi
start=$(date +%s)
work=$(mktemp -d)
server=
trap '[ -z "$server" ] || kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
rm -rf "$shots"
mkdir -p "$shots"

# The web folder, and the logic tests under node in the same build.
folder=$("$ROOT/scripts/build-web.sh" --werror --tests --out "$ROOT/build-web")

# The Linux window's canvas on the same session.
configure_and_build
for scale in 1 2; do
    QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale \
        "$BUILD_DIR/tests/session-shots" "$ROOT/scripts/web-session.txt" "$work/linux/${scale}x"
done

# puppeteer-core, pinned: version 24 still runs on Debian's node 18 and 20, and it
# drives the system's Chromium (it never downloads a browser of its own).
modules=$DV_CACHE/web-check
if [ ! -d "$modules/node_modules/puppeteer-core" ] || [ ! -d "$modules/node_modules/pngjs" ]; then
    mkdir -p "$modules"
    echo '{ "private": true }' >"$modules/package.json"
    (cd "$modules" && npm install --no-audit --no-fund --loglevel=error puppeteer-core@24.43.1 pngjs@7.0.0) >&2
fi

# Any static server will do; python's is on every Debian.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$folder" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
    sleep 0.1
done

status=0
NODE_PATH=$modules/node_modules timeout 600 node "$ROOT/scripts/check-web.js" \
    "http://127.0.0.1:$port/" "$ROOT/scripts/web-session.txt" "$work/linux" "$shots" "$server" || status=$?
verdict=passed
[ "$status" -eq 0 ] || verdict=FAILED
echo "check-web: $verdict in $(( $(date +%s) - start )) s; screenshots in $shots" >&2
exit "$status"
