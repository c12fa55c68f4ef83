#!/usr/bin/env bash
# Builds Dragon Valley with its benchmarks, runs them and prints the table of
# medians against the budget (docs/performance.md):
#   1. the in-process benchmarks (offscreen), 5 repetitions in random order,
#      medians;
#   2. whole-program start-up under a virtual X display: exec to the window on
#      screen (hyperfine), exec to its first frame (first-paint) and peak
#      resident memory (/usr/bin/time), beside the same window with empty
#      controls of the kinds the program shows (bench/barecontrols.cpp).
# Builds into build-bench/ (the preset "bench": DRAGON_VALLEY_BENCHMARKS=ON) and
# installs what it needs (Google Benchmark, hyperfine, time, Xvfb, xdotool, the
# xcb headers) the way run.sh does. Takes about ten minutes on two cores.
PACKAGES_EXTRA=(hyperfine time xvfb xdotool python3 libxcb1-dev)
PRESET=bench
source "$(dirname "$0")/../scripts/setup.sh"
configure_and_build

RESULTS=$BUILD_DIR/bench-results
rm -rf "$RESULTS"
mkdir -p "$RESULTS"

echo "== In-process benchmarks" >&2
"$BUILD_DIR/bench/dv-benchmarks" \
    --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$RESULTS/benchmarks.json" --benchmark_out_format=json >&2

echo "== Whole-program start-up" >&2
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
export DISPLAY=":$display"
for _ in $(seq 1 100); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.05
done

first_frame=$ROOT/bench/first-frame.sh
program=$BUILD_DIR/app/dragon-valley
controls=$BUILD_DIR/bench/barecontrols
hyperfine --warmup 3 --runs 20 --prepare 'sleep 0.05' --export-json "$RESULTS/startup.json" \
    --command-name dragon-valley "'$first_frame' '$program' 'www.example.org'" \
    --command-name bare-controls "'$first_frame' '$controls' 'Bare Qt controls'" >&2
for run in 1 2 3 4 5; do
    "$first_frame" "$program" 'www.example.org' "$RESULTS/rss-dragon-valley-$run.txt"
    "$first_frame" "$controls" 'Bare Qt controls' "$RESULTS/rss-bare-controls-$run.txt"
done
# Exec to the first frame, watched on the display: a pixel near the bottom left
# turning the window's own colour (the program's blue, Fusion's grey).
first_paint=$BUILD_DIR/bench/first-paint
for _ in $(seq 1 20); do
    "$first_paint" 2 466 8080ff "$program" >>"$RESULTS/first-paint-dragon-valley.txt"
    "$first_paint" 2 466 efefef "$controls" >>"$RESULTS/first-paint-bare-controls.txt"
done

echo >&2
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo
python3 "$ROOT/bench/report.py" "$RESULTS"
