# Shared by run.sh, test.sh and the scripts: installs the Debian packages the
# build needs when any is missing, then configures and builds one of the build
# folders of CMakePresets.json.
# Sourced, not run: the caller sets PRESET (a configure preset) and
# PACKAGES_EXTRA for its own needs.

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PRESET=${PRESET:-default}
# Each preset builds into the folder named after it (CMakePresets.json):
# build/ for "default", the user's build, and build-<preset>/ for the others.
BUILD_DIR=$ROOT/build
[ "$PRESET" = default ] || BUILD_DIR=$ROOT/build-$PRESET

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libqt6test6 libgl-dev
    fonts-liberation
)
# The presets that build the benchmarks need Google Benchmark; CI's also runs
# the Bulgarian-locale tests and valgrind (found when its folder is configured).
case "$PRESET" in
    ci) PACKAGES+=(libbenchmark-dev locales valgrind) ;;
    bench) PACKAGES+=(libbenchmark-dev) ;;
esac

missing_packages() {
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
            printf '%s\n' "$package"
        fi
    done
}

install_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0
    echo "Installing Debian packages: ${missing[*]}" >&2
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Packages ${missing[*]} are missing and there is no sudo to install them; install them as root." >&2; exit 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# Configures the preset's build folder, which is quick when nothing has changed
# and puts the preset's options back each time (so build/ never keeps -Werror or
# a sanitizer from an earlier run), then builds it. Further -DNAME=VALUE options
# go to CMake.
configure_and_build() {
    cmake -S "$ROOT" --preset "$PRESET" "$@" >&2
    cmake --build "$BUILD_DIR" --parallel "$(nproc)" >&2
}

# A virtual display (Xvfb) of the given screen size ("1024x768x24"), on a
# display number of its own choosing so that other displays are left alone; its
# log goes to DIR/xvfb.log. Exports DISPLAY and sets xvfb_pid.
start_xvfb() {
    local size=$1 dir=$2 _
    : >"$dir/display"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$dir/display" ] && break
        sleep 0.1
    done
    [ -s "$dir/display" ] || { echo "Xvfb did not start:" >&2; cat "$dir/xvfb.log" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$dir/display")"
    unset WAYLAND_DISPLAY
}

# Prints the first visible X window that `xdotool search` finds with the given
# options within SECONDS; prints nothing if none comes. A search that meets a
# window destroyed under it (xdotool stops with BadWindow) is tried again.
wait_for_window() {
    local deadline=$((SECONDS + $1)) id
    shift
    while [ "$SECONDS" -lt "$deadline" ]; do
        id=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
}

# The options of the scripts that run the program: --program PATH runs that
# copy, and without it the preset's program is built and run; --NAME DIR sets
# the variable NAME, named by the first argument (shots, output).
program_options() {
    local folder=$1
    shift
    program=""
    while [ $# -gt 0 ]; do
        case $1 in
            --program) program=$2 ;;
            "--$folder") printf -v "$folder" %s "$2" ;;
            *) echo "usage: $0 [--program PATH] [--$folder DIR]" >&2; exit 2 ;;
        esac
        shift 2
    done
    [ -n "$program" ] || { configure_and_build; program=$BUILD_DIR/app/dragon-valley; }
}

install_packages "${PACKAGES[@]}" ${PACKAGES_EXTRA[@]+"${PACKAGES_EXTRA[@]}"}
