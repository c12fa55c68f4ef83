#!/usr/bin/env bash
# Starts PROGRAM on the current X display, waits until its window titled TITLE is
# on screen, then ends it. Timed from outside (hyperfine), this is the time from
# exec to the first frame. With RSS_FILE, the program runs under /usr/bin/time,
# is left a moment to finish its first paint, and its peak resident memory (KiB)
# is written to RSS_FILE.
#   first-frame.sh PROGRAM TITLE [RSS_FILE]
set -uo pipefail

program=$1
title=$2
rss_file=${3:-}

if [ -n "$rss_file" ]; then
    /usr/bin/time -f %M -o "$rss_file" "$program" 2>/dev/null &
else
    "$program" 2>/dev/null &
fi
launcher=$!

# `xdotool search --sync` polls only twice a second; this loop looks every 10 ms
# once the program has had 30 ms to connect (no Qt window shows sooner). Polling
# harder floods the X server with connections and it may turn the program away.
window=
sleep 0.03
for _ in $(seq 1 1000); do
    window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.01
    kill -0 "$launcher" 2>/dev/null || { echo "$program ended before showing a window" >&2; exit 1; }
done
[ -n "$window" ] || { echo "no window titled '$title' appeared" >&2; kill "$launcher"; exit 1; }

if [ -n "$rss_file" ]; then
    sleep 0.5
    kill "$(xdotool getwindowpid "$window")"
else
    kill "$launcher"
fi
wait "$launcher" 2>/dev/null
exit 0
