#!/usr/bin/env bash
# The browser release: the program built as WebAssembly with Qt 6.8.2, in a
# folder that any static web server can serve, and the same folder as a zip.
#
#   scripts/build-web.sh [--qt PATH] [--out DIR] [--werror] [--tests]
#
# Runs on Debian 12 (as root, or through sudo). Everything is built inside a
# Debian 13 system made once with debootstrap (scripts/debian-system.sh) and
# kept in $DV_CACHE/web-trixie, with Debian 13's emscripten and the host tools
# of its Qt. The Qt for WebAssembly is, in this order:
#   --qt PATH      an unpacked Qt 6.8.2 for wasm-emscripten (its bin/qt-cmake), or
#                  a .tar.xz of one (unpacked into the cache);
#   ../shared/web/qt-6.8.2-wasm.tar.xz beside the repository, when there is one
#                  (checked against its sha256, unpacked into the cache once);
#   the copy already in $DV_CACHE/qt-6.8.2-wasm;
#   built from Debian 13's qt6-base source (about 25 minutes on 2 cores) into it.
# The result, in DIR (by default build-web/ in the repository):
#   DIR/DragonValley-<version>-web/       index.html, the program, Qt's loader, the
#                                         icon and the licences
#   DIR/DragonValley-<version>-web.zip    the same folder
# --werror makes compiler warnings errors, as CI wants them; --tests also builds
# the logic tests (game/, numbers) as WebAssembly and runs them under node.
# The build folder itself is $DV_CACHE/web-build/program (seen as /build/program
# inside the system), where scripts/check-web.sh also builds the tests, from a
# copy of the sources in $DV_CACHE/web-build/src.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/debian-system.sh"

QT_VERSION=6.8.2
QT_SHARED_TARBALL=$ROOT/../shared/web/qt-$QT_VERSION-wasm.tar.xz
QT_SHARED_SHA256=35ba8996cdc7a3103cdb9513532ef9796a3df86d8ba5798a54cc423ad95b4160
QT_CACHE=$DV_CACHE/qt-$QT_VERSION-wasm
QT_MOUNT=/opt/qt-$QT_VERSION-wasm   # where the Qt lies inside the system (its own prefix)
SYSTEM=$DV_CACHE/web-trixie
# Debian 13's packages for the build: emscripten 3.1.69 (clang 19, node 20), the
# host tools of Qt 6.8.2 (moc, rcc, and the CMake files that find them), the font
# that the program embeds, and what building Qt from source needs besides.
SYSTEM_PACKAGES=(emscripten nodejs qt6-base-dev qt6-base-dev-tools cmake ninja-build
                 fonts-liberation xz-utils)

qt_arg=
out=$ROOT/build-web
werror=OFF
tests=
while [ $# -gt 0 ]; do
    case "$1" in
        --qt) qt_arg=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --werror) werror=ON; shift ;;
        --tests) tests=1; shift ;;
        -h | --help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "build-web.sh: unknown argument $1 (see --help)" >&2; exit 2 ;;
    esac
done
mkdir -p "$out"
out=$(cd "$out" && pwd)

log() { echo "== build-web: $*" >&2; }

# One build at a time in the system; a second caller waits.
mkdir -p "$DV_CACHE"
exec {web_lock}>"$DV_CACHE/web-trixie.lock"
flock "$web_lock"
trap 'debian_leave "$SYSTEM"' EXIT
debian_leave "$SYSTEM"   # whatever an interrupted run left mounted

# The Debian 13 system, made once and kept; the package list is installed again
# when it changes.
make_system() {
    local stamp="$SYSTEM/var/lib/dragon-valley-web-packages"
    if [ ! -e "$stamp" ] || [ "$(cat "$stamp")" != "${SYSTEM_PACKAGES[*]}" ]; then
        if [ ! -e "$SYSTEM/etc/debian_version" ]; then
            log "making the Debian 13 build system in $SYSTEM (once)"
            debian_copy trixie "$SYSTEM"
            # Qt's source, for a build of Qt itself.
            local mirror
            mirror=$(debian_mirror)
            echo "deb-src $mirror trixie main" | debian_sudo tee -a "$SYSTEM/etc/apt/sources.list" >/dev/null
        fi
        debian_enter "$SYSTEM"
        log "installing ${SYSTEM_PACKAGES[*]}"
        debian_run "$SYSTEM" apt-get update -q >&2
        debian_run "$SYSTEM" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -q --no-install-recommends "${SYSTEM_PACKAGES[@]}" >&2
        # Qt's configure wants emsdk's layout: Debian's emscripten, seen as one.
        debian_run "$SYSTEM" sh -c 'mkdir -p /opt/emsdk/upstream &&
            ln -sfn /usr/share/emscripten /opt/emsdk/upstream/emscripten &&
            echo "EMSCRIPTEN_ROOT = emsdk_path + '"'/upstream/emscripten'"'" > /opt/emsdk/.emscripten'
        echo "${SYSTEM_PACKAGES[*]}" | debian_sudo tee "$stamp" >/dev/null
    fi
    debian_enter "$SYSTEM"
}

# Qt 6.8.2 for WebAssembly from Debian 13's qt6-base source: the same upstream
# release as the system's host tools, configured as small as the program allows
# (static, one thread, no network, SQL, printing, XML, D-Bus or concurrent; OpenGL
# stays, Qt's WebAssembly platform needs it).
build_qt() {
    log "building Qt $QT_VERSION for WebAssembly from Debian 13's source (about 25 minutes)"
    local work=$DV_CACHE/qt-build
    debian_sudo rm -rf --one-file-system "$work" "$QT_CACHE.new"
    debian_bind "$SYSTEM" "$work" /qt-build
    debian_bind "$SYSTEM" "$QT_CACHE.new" "$QT_MOUNT"
    debian_run "$SYSTEM" env EMSDK=/opt/emsdk sh -ec '
        cd /qt-build
        apt-get source --download-only qt6-base >/dev/null 2>&1
        tar -xJf qt6-base_*.orig.tar.xz
        case "$(ls -d qtbase-everywhere-src-*)" in
            qtbase-everywhere-src-'"$QT_VERSION"') ;;
            *) echo "Debian 13 has qt6-base $(ls -d qtbase-everywhere-src-*), not '"$QT_VERSION"'" >&2; exit 1 ;;
        esac
        mkdir build && cd build
        nice -n 10 ../qtbase-everywhere-src-'"$QT_VERSION"'/configure \
            -platform wasm-emscripten -qt-host-path /usr -prefix '"$QT_MOUNT"' \
            -static -release -nomake tests -nomake examples -no-feature-thread \
            -no-feature-network -no-feature-sql -no-feature-printsupport -no-feature-xml \
            -no-feature-dbus -no-feature-concurrent \
            -- -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
        nice -n 10 ninja
        cmake --install .' >"$DV_CACHE/qt-build.log" 2>&1 || {
            tail -n 30 "$DV_CACHE/qt-build.log" >&2
            echo "Qt's build failed (log: $DV_CACHE/qt-build.log)" >&2
            return 1
        }
    debian_sudo umount "$SYSTEM$QT_MOUNT"
    debian_sudo umount "$SYSTEM/qt-build"
    debian_sudo rm -rf --one-file-system "$QT_CACHE" "$work"
    mv "$QT_CACHE.new" "$QT_CACHE"
}

# The Qt to build with, as a folder on the host.
choose_qt() {
    if [ -n "$qt_arg" ] && [ -d "$qt_arg" ]; then
        [ -x "$qt_arg/bin/qt-cmake" ] || { echo "--qt $qt_arg: no bin/qt-cmake there" >&2; return 1; }
        qt_dir=$(cd "$qt_arg" && pwd)
        return
    fi
    qt_dir=$QT_CACHE
    local tarball=
    if [ -n "$qt_arg" ]; then
        tarball=$qt_arg
    elif [ -f "$QT_SHARED_TARBALL" ]; then
        tarball=$QT_SHARED_TARBALL
        echo "$QT_SHARED_SHA256  $tarball" | sha256sum --check --quiet >&2 \
            || { echo "$tarball is damaged: its sha256 is not $QT_SHARED_SHA256" >&2; return 1; }
    fi
    if [ -n "$tarball" ]; then
        dv_unpack_once "$tarball" "$QT_CACHE"
        [ -x "$QT_CACHE/bin/qt-cmake" ] || { echo "$tarball holds no bin/qt-cmake" >&2; return 1; }
    elif [ ! -x "$QT_CACHE/bin/qt-cmake" ]; then
        build_qt
    fi
}

start=$(date +%s)
make_system
choose_qt
log "Qt for WebAssembly: $qt_dir"
debian_bind "$SYSTEM" "$qt_dir" "$QT_MOUNT" ro
# The sources as the system sees them: a copy in the cache in which a file keeps
# its time while its content stays the same, so that the kept build folder
# rebuilds exactly what changed, whichever clone or checkout the sources come
# from (their own times say nothing about what that folder was built from).
command -v rsync >/dev/null \
    || debian_sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q rsync >&2
mkdir -p "$DV_CACHE/web-build/src"
rsync --recursive --links --checksum --delete --exclude=/.git --exclude='/build*' \
    "$ROOT/" "$DV_CACHE/web-build/src/"
debian_bind "$SYSTEM" "$DV_CACHE/web-build/src" /src ro
debian_bind "$SYSTEM" "$DV_CACHE/web-build" /build

targets=dragon-valley
if [ -n "$tests" ]; then
    targets="$targets tst_numbers tst_verdict tst_valleygame"   # linked side by side
fi
log "building $targets"
debian_run "$SYSTEM" env EMSDK=/opt/emsdk sh -ec "
    $QT_MOUNT/bin/qt-cmake -G Ninja -S /src -B /build/program -DCMAKE_BUILD_TYPE=Release \
        -DDRAGON_VALLEY_WERROR=$werror >/build/configure.log
    nice -n 10 cmake --build /build/program --target $targets
    rm -rf /build/stage /build/package
    cmake --install /build/program --prefix /build/stage >/dev/null
    cd /build/program && cpack -G ZIP -B /build/package >/dev/null" >&2

if [ -n "$tests" ]; then
    log "the logic tests as WebAssembly, under node"
    debian_run "$SYSTEM" ctest --test-dir /build/program --output-on-failure >&2
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$DV_CACHE/web-build/program/CMakeCache.txt")
name=DragonValley-$version-web
rm -rf "$out/$name" "$out/$name.zip"
cp -r "$DV_CACHE/web-build/stage" "$out/$name"
cp "$DV_CACHE/web-build/package/$name.zip" "$out/$name.zip"
log "done in $(( $(date +%s) - start )) s:"
du -sh "$out/$name" "$out/$name.zip" >&2
echo "$out/$name"
