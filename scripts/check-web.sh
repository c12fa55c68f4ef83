#!/usr/bin/env bash
# The browser release in real browsers, seen and heard as a pupil meets it:
#   - builds the web folder (scripts/build-web.sh) and runs the logic tests,
#     built as WebAssembly, under node;
#   - plays tests/session.txt on the Linux window (the session player,
#     offscreen, at 100 % and 200 %) for the reference, and the same session in
#     Debian's Firefox ESR and Chromium, headless (scripts/check-web.js, with
#     puppeteer-core kept in the cache): the canvas after each step must be the
#     Linux one pixel for pixel, and the page's lists for a screen reader the
#     Linux lists; at the end the page must open again with its server gone;
#   - Orca reading the page in Chromium and in Firefox ESR
#     (scripts/check-atspi.sh --page): the canvas, the lists and the buttons
#     reached with Tab and named, the cross's place, every verdict and removal.
#
#   scripts/check-web.sh [--shots DIR]
#
# DIR (by default build-web/shots) keeps the browser's screenshots. Without a Qt
# 6.8.2 for WebAssembly beside the repository or in the cache, it says how to make
# one and skips.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/release.sh"
if ! release_qt wasm; then
    echo "check-web: skipped: no Qt $QT_VERSION for WebAssembly here; make it once with scripts/build-web.sh (about 25 minutes)"
    exit 77
fi
PRESET=ci
PACKAGES_EXTRA=(chromium firefox-esr nodejs python3)
source "$ROOT/scripts/setup.sh"
command -v npm >/dev/null || install_packages npm   # Debian's nodejs comes without it
shots=$ROOT/build-web/shots
[ "${1:-}" != --shots ] || shots=$(realpath -m "$2")
work=$(mktemp -d) server=
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
rm -rf "$shots" && mkdir -p "$shots"

folder=$("$ROOT/scripts/build-web.sh" --tests --out "$ROOT/build-web")
configure_and_build
for scale in 1 2; do
    QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale \
        "$BUILD_DIR/tests/session-shots" "$ROOT/tests/session.txt" "$work/linux/${scale}x"
done

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$folder" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
    sleep 0.1
done
status=0
for browser in chromium firefox; do
    "$ROOT/scripts/check-atspi.sh" --page "http://127.0.0.1:$port/" --browser "$browser" || status=1
done

# puppeteer-core, pinned: version 24 still runs on Debian's node 18 and 20, and it
# drives the system's Chromium (it never downloads a browser of its own).
modules=$DV_CACHE/web-check
if [ ! -d "$modules/node_modules/puppeteer-core" ] || [ ! -d "$modules/node_modules/pngjs" ]; then
    mkdir -p "$modules" && echo '{ "private": true }' >"$modules/package.json"
    (cd "$modules" && npm install --no-audit --no-fund --loglevel=error puppeteer-core@24.43.1 pngjs@7.0.0) >&2
fi
NODE_PATH=$modules/node_modules timeout 600 node "$ROOT/scripts/check-web.js" \
    "http://127.0.0.1:$port/" "$ROOT/tests/session.txt" "$work/linux" "$shots" "$server" || status=1
echo "check-web: $([ "$status" -eq 0 ] && echo passed || echo FAILED); screenshots in $shots" >&2
exit "$status"
