# Shared by run.sh and test.sh: installs the Debian packages the build needs when
# any is missing, then configures (once) and builds into build/.
# Sourced, not run: the caller sets PACKAGES_EXTRA for its own needs.

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libqt6test6 libgl-dev
    fonts-liberation libbenchmark-dev
)

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

# Configures on the first run, or again when the caller asks for options
# (-DNAME=VALUE ...), then builds.
configure_and_build() {
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ] || [ "$#" -gt 0 ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >&2
    fi
    cmake --build "$BUILD_DIR" --parallel "$(nproc)" >&2
}

install_packages "${PACKAGES[@]}" ${PACKAGES_EXTRA[@]+"${PACKAGES_EXTRA[@]}"}
