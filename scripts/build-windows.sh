#!/usr/bin/env bash
# Makes the Windows release on Debian 12, cross-built with Debian's MinGW-w64:
#
#   scripts/build-windows.sh [--qt PATH] [--out DIR] [--with-tests]
#
#   --qt PATH   a Qt 6.4.2 for 64-bit MinGW: its folder, or a tarball of it (unpacked
#               once into the cache). Without it, the one in the cache; without that,
#               one built once from Debian's own Qt source (an hour or two on 2 cores).
#   --out DIR   where the two files go (default: build-windows/release)
#   --with-tests  also cross-builds the test suite (scripts/check-windows.sh runs it
#               under Wine)
#
# It installs the Debian packages it needs, builds the program in build-windows/
# (the preset "windows" of CMakePresets.json) and makes
#   DragonValley-<version>-win64.zip        a portable folder: unzip, double-click
#                                           dragon-valley.exe
#   DragonValley-<version>-win64-setup.exe  an installer: Start menu, "Apps and
#                                           features", uninstaller; for all users when
#                                           run as an administrator, else for the user
# The cache is $DV_CACHE (by default ~/.cache/dragon-valley), outside the repository.

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/debian-system.sh"   # DV_CACHE, debian_mirror, debian_sudo

QT_VERSION=6.4.2
QT_NAME=qt-$QT_VERSION-mingw-w64
qt_path=
out=$ROOT/build-windows/release
tests=OFF

while [ $# -gt 0 ]; do
    case "$1" in
        --qt) qt_path=$(realpath "$2"); shift 2 ;;
        --out) out=$(realpath -m "$2"); shift 2 ;;
        --with-tests) tests=ON; shift ;;
        -h | --help) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
    esac
done

# The cross build runs the host's Qt tools (moc, rcc, from qt6-base-dev-tools) for
# the Qt for MinGW, so both must be Qt 6.4.2: Debian 12's.
if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != bookworm ]; then
    echo "build-windows: run this on Debian 12: the Qt for MinGW is Qt $QT_VERSION, as are Debian 12's Qt tools it needs" >&2
    exit 1
fi

PRESET=windows
PACKAGES_EXTRA=(
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    qt6-base-dev-tools nsis zip unzip xz-utils patch
)
source "$ROOT/scripts/setup.sh"   # installs the packages; configure_and_build

# Qt for MinGW from Debian's own source of the host's Qt (the same version as its
# tools, which the cross build uses), into $DV_CACHE/$QT_NAME. Only Qt's base
# modules, with the Windows, offscreen and minimal platforms and the jpeg and ico
# image formats, its own copies of zlib, libpng, libjpeg, freetype, harfbuzz and
# pcre2, and nothing the program does not use (no OpenGL, network, SQL, D-Bus,
# printing). Two one-line guards in Qt's Windows plugin (dist/windows/qt-*.patch)
# let it build with OpenGL and Direct2D off.
build_qt()
{
    local prefix=$1 work=$DV_CACHE/qt-build
    local host_version
    host_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
    case "$host_version" in
        "$QT_VERSION"+*) ;;
        *) echo "the host's Qt is $host_version, the patches are for $QT_VERSION: build on Debian 12" >&2; return 1 ;;
    esac
    echo "Building Qt $QT_VERSION for MinGW from Debian's source into $prefix (once; about an hour on 2 cores)" >&2
    local start=$SECONDS
    rm -rf "$work"
    mkdir -p "$work/source" "$work/build"
    # Debian's source of the host's Qt: a deb-src line for the machine's own release
    # and mirror when apt has none yet.
    if ! (cd "$work/source" && apt-get source --download-only "qt6-base=$host_version" >&2); then
        local mirror suite keyring
        mirror=$(debian_mirror)
        suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
        # In apt's newer format the line must name the same keyring as the mirror's
        # own entry, or apt refuses both.
        keyring=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null \
            | awk -v uri="$mirror" '/^URIs:/ { u = $2 } /^Signed-By:/ && u == uri { print $2; exit }')
        if [ -n "$keyring" ]; then
            printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
                "$mirror" "$suite" "$keyring" \
                | debian_sudo tee /etc/apt/sources.list.d/dragon-valley-deb-src.sources >/dev/null
        else
            echo "deb-src $mirror $suite main" \
                | debian_sudo tee /etc/apt/sources.list.d/dragon-valley-deb-src.list >/dev/null
        fi
        debian_sudo apt-get update -q >&2
        (cd "$work/source" && apt-get source --download-only "qt6-base=$host_version" >&2)
    fi
    tar -C "$work/source" -xf "$work/source"/qt6-base_"${host_version%%-*}".orig.tar.xz
    local src=$work/source/qtbase-everywhere-src-$QT_VERSION
    local patch
    for patch in "$ROOT"/dist/windows/qt-*.patch; do
        patch -d "$src" -p1 --forward <"$patch" >&2
    done
    rm -rf "$prefix.new"
    nice -n 10 cmake -G Ninja -S "$src" -B "$work/build" \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/dist/windows/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix.new" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
        -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_icu=OFF -DFEATURE_direct2d=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF \
        -DFEATURE_gif=OFF -DFEATURE_jpeg=ON -DFEATURE_png=ON -DFEATURE_ico=ON \
        >"$work/configure.log" 2>&1 || { tail -n 30 "$work/configure.log" >&2; return 1; }
    nice -n 10 cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log" 2>&1 \
        || { tail -n 30 "$work/build.log" >&2; return 1; }
    cmake --install "$work/build" >"$work/install.log" 2>&1
    find "$prefix.new" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
    # The toolchain file goes with the Qt that was built with it, named relative to
    # Qt's own toolchain file, so that the folder may be moved or packed.
    mkdir -p "$prefix.new/toolchain"
    cp "$ROOT/dist/windows/mingw-w64-x86_64.cmake" "$prefix.new/toolchain/"
    sed -i "s|\"$ROOT/dist/windows/mingw-w64-x86_64.cmake\"|\"\${CMAKE_CURRENT_LIST_DIR}/../../../toolchain/mingw-w64-x86_64.cmake\"|" \
        "$prefix.new/lib/cmake/Qt6/qt.toolchain.cmake"
    grep -q 'CMAKE_CURRENT_LIST_DIR}/../../../toolchain/' "$prefix.new/lib/cmake/Qt6/qt.toolchain.cmake"
    rm -rf "$prefix"
    mv "$prefix.new" "$prefix"
    rm -rf "$work"
    echo "Qt $QT_VERSION for MinGW built in $(( (SECONDS - start) / 60 )) min $(( (SECONDS - start) % 60 )) s: $prefix" >&2
}

# The Qt to build with: --qt's folder, its tarball unpacked into the cache, the
# cache's, or one built from source into the cache.
mkdir -p "$DV_CACHE"
exec {qt_lock}>"$DV_CACHE/$QT_NAME.lock"
flock "$qt_lock"
if [ -n "$qt_path" ] && [ -d "$qt_path" ]; then
    QT_DIR=$qt_path
elif [ -n "$qt_path" ]; then
    QT_DIR=$DV_CACHE/$QT_NAME
    dv_unpack_once "$qt_path" "$QT_DIR"
else
    QT_DIR=$DV_CACHE/$QT_NAME
    [ -f "$QT_DIR/lib/cmake/Qt6/qt.toolchain.cmake" ] || build_qt "$QT_DIR"
fi
exec {qt_lock}>&-
[ -f "$QT_DIR/lib/cmake/Qt6/qt.toolchain.cmake" ] || { echo "no Qt for MinGW in $QT_DIR" >&2; exit 1; }
export DV_QT_MINGW=$QT_DIR
echo "Qt for MinGW: $QT_DIR" >&2

# The program, cross-built with Qt's toolchain file. A build folder made with
# another Qt starts afresh: CMake keeps the toolchain of a folder's first run.
toolchain=$QT_DIR/lib/cmake/Qt6/qt.toolchain.cmake
if [ -f "$BUILD_DIR/CMakeCache.txt" ] \
    && ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$BUILD_DIR/CMakeCache.txt"; then
    rm -rf "$BUILD_DIR/CMakeCache.txt" "$BUILD_DIR/CMakeFiles"
fi
configure_and_build -DBUILD_TESTING="$tests"

# The portable folder, zipped by CPack from the install rules, stripped.
mkdir -p "$out"
rm -rf "$BUILD_DIR/cpack"
(cd "$BUILD_DIR" && cpack -G ZIP -B "$BUILD_DIR/cpack" >&2)
zip_file=$(ls "$BUILD_DIR"/cpack/DragonValley-*-win64.zip)
name=$(basename "$zip_file" .zip)
rm -f "$out/$name.zip" "$out/$name-setup.exe"
mv "$zip_file" "$out/"

# The installer puts the same folder in place. The uninstaller's list of what to
# remove is that folder's listing: files, then folders from the deepest up.
stage=$BUILD_DIR/cpack/stage
unzip -q "$out/$name.zip" -d "$stage"
(
    cd "$stage/$name"
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
) >"$BUILD_DIR/cpack/files.nsh"
makensis -V2 -DSOURCE="$stage/$name" -DFILES="$BUILD_DIR/cpack/files.nsh" \
    -DOUTFILE="$out/$name-setup.exe" "$BUILD_DIR/installer.nsi" >&2

echo "Made in $(( SECONDS / 60 )) min $(( SECONDS % 60 )) s:" >&2
ls -l "$out/$name.zip" "$out/$name-setup.exe" >&2
