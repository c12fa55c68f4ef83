# Windows and the browser are built alike: in one Debian 13 system made once with
# debootstrap ($DV_CACHE/release-trixie), with its MinGW-w64, emscripten and Qt
# 6.8.2 host tools, and a Qt 6.8.2 for the target. Sourced, with ROOT set, by
# build-windows.sh, build-web.sh and their checks. TARGET is mingw-w64 or wasm.
#   release_qt TARGET [PATH]   sets QT_DIR to its Qt: PATH (a folder, or a tarball
#                              unpacked into the cache), else ../shared/ beside the
#                              repository, else the cache's; fails when none
#   release_enter              makes or updates the system, mounts $RELEASE into it
#   release_build TARGET CMAKE_OPTIONS...   builds the program into $RELEASE/TARGET
#   build_qt TARGET            builds its Qt from Debian 13's qt6-base source (an
#                              hour for MinGW, 25 minutes for WebAssembly, 2 cores)
source "$ROOT/scripts/debian-system.sh"

QT_VERSION=6.8.2
SYSTEM=$DV_CACHE/release-trixie
RELEASE=$DV_CACHE/release
SYSTEM_PACKAGES=(cmake ninja-build qt6-base-dev qt6-base-dev-tools fonts-liberation xz-utils zip patch
                 emscripten nodejs nsis g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                 mingw-w64-x86-64-dev)

release_qt() {
    local target=$1 path=${2:-} shared
    shared=$ROOT/../shared/$([ "$1" = wasm ] && echo web || echo windows)/qt-$QT_VERSION-$1.tar.xz
    QT_DIR=$DV_CACHE/qt-$QT_VERSION-$target
    if [ -n "$path" ] && [ -d "$path" ]; then
        QT_DIR=$(realpath "$path")
    elif [ -n "$path" ] || [ -f "$shared" ]; then
        dv_unpack_once "$(realpath "${path:-$shared}")" "$QT_DIR"
    fi
    [ -f "$QT_DIR/lib/cmake/Qt6/Qt6Config.cmake" ]
}

# Where each Qt lies inside the system: the wasm one is not relocatable.
qt_mount() {
    echo "/opt/qt-$QT_VERSION-$1"
}

release_enter() {
    debian_tools rsync unzip
    mkdir -p "$DV_CACHE" "$RELEASE"
    exec {release_lock}>"$SYSTEM.lock"
    flock "$release_lock"   # one build at a time in the system
    trap 'debian_leave "$SYSTEM"' EXIT
    debian_leave "$SYSTEM"  # whatever an interrupted run left mounted
    local stamp=$SYSTEM/var/lib/dragon-valley-packages
    if [ "$(cat "$stamp" 2>/dev/null)" != "${SYSTEM_PACKAGES[*]}" ]; then
        if [ ! -e "$SYSTEM/etc/debian_version" ]; then
            echo "Making the Debian 13 release system in $SYSTEM (once)" >&2
            debian_copy trixie "$SYSTEM"
            echo "deb-src $(debian_mirror) trixie main" | debian_sudo tee -a "$SYSTEM/etc/apt/sources.list" >/dev/null
        fi
        debian_enter "$SYSTEM"
        debian_run "$SYSTEM" apt-get update -q >&2
        debian_run "$SYSTEM" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -q --no-install-recommends "${SYSTEM_PACKAGES[@]}" >&2
        # Qt's WebAssembly build wants emsdk's layout: Debian's emscripten, seen as one.
        debian_run "$SYSTEM" sh -c 'mkdir -p /opt/emsdk/upstream &&
            ln -sfn /usr/share/emscripten /opt/emsdk/upstream/emscripten &&
            echo "EMSCRIPTEN_ROOT = emsdk_path + '"'/upstream/emscripten'"'" > /opt/emsdk/.emscripten'
        echo "${SYSTEM_PACKAGES[*]}" | debian_sudo tee "$stamp" >/dev/null
    fi
    debian_enter "$SYSTEM"
    debian_bind "$SYSTEM" "$RELEASE" "$RELEASE"
}

release_run() {
    debian_run "$SYSTEM" env EMSDK=/opt/emsdk "$@"
}

release_build() {
    local target=$1
    shift
    debian_bind "$SYSTEM" "$QT_DIR" "$(qt_mount "$target")" ro
    # A copy of the sources in which a file keeps its time while its content
    # stays, so that the kept build folder rebuilds just what changed, whichever
    # clone the sources come from.
    rsync --recursive --links --checksum --delete --exclude=/.git --exclude='/build*' "$ROOT/" "$RELEASE/src/"
    local cmake=("$(qt_mount "$target")/bin/qt-cmake")
    [ "$target" = wasm ] || cmake=(cmake "-DCMAKE_TOOLCHAIN_FILE=$(qt_mount "$target")/lib/cmake/Qt6/qt.toolchain.cmake"
                                   -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64)
    release_run "${cmake[@]}" -G Ninja -S "$RELEASE/src" -B "$RELEASE/$target" -DCMAKE_BUILD_TYPE=Release \
        -DDRAGON_VALLEY_WERROR=ON "$@" >"$RELEASE/$target-configure.log"
    release_run nice -n 10 cmake --build "$RELEASE/$target" >&2
    debian_sudo chown -R "$(id -u):$(id -g)" "$RELEASE/$target"
}

build_qt() {
    local target=$1 work=$DV_CACHE/qt-build into=$DV_CACHE/qt-$QT_VERSION-$1 prefix
    prefix=$(qt_mount "$1")
    echo "Building Qt $QT_VERSION for $target from Debian 13's qt6-base source into $into (once)" >&2
    debian_sudo rm -rf --one-file-system "$work" "$into.new"
    debian_bind "$SYSTEM" "$work" /qt-build
    debian_bind "$SYSTEM" "$into.new" "$prefix"
    cp "$ROOT/dist/windows/mingw-w64-x86_64.cmake" "$ROOT"/dist/windows/qt-*.patch "$work/"
    # Only Qt's base modules, and of them only what the program uses: no
    # network, SQL, printing, XML, D-Bus. WebAssembly is static and has one
    # thread; Windows goes without OpenGL, with Qt's own image and font
    # libraries, and with one guard in Qt's Windows plugin (dist/windows/).
    local configure
    if [ "$target" = wasm ]; then
        configure="../configure -platform wasm-emscripten -qt-host-path /usr -prefix $prefix -static -release
            -nomake tests -nomake examples -no-feature-thread -no-feature-network -no-feature-sql
            -no-feature-printsupport -no-feature-xml -no-feature-dbus -no-feature-concurrent
            -- -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake"
    else
        configure="cmake -G Ninja .. -DCMAKE_TOOLCHAIN_FILE=/qt-build/mingw-w64-x86_64.cmake
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$prefix -DQT_HOST_PATH=/usr
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
            -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF
            -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF
            -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
            -DFEATURE_icu=OFF -DFEATURE_tabletevent=OFF
            -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
            -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
            -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
            -DFEATURE_gif=OFF -DFEATURE_jpeg=ON -DFEATURE_png=ON -DFEATURE_ico=ON"
    fi
    release_run sh -ec "
        cd /qt-build
        apt-get source --download-only qt6-base >/dev/null 2>&1
        tar -xJf qt6-base_$QT_VERSION+dfsg.orig.tar.xz
        cd qtbase-everywhere-src-$QT_VERSION
        [ $target = wasm ] || patch -p1 --forward <../qt-qwindowswindow-dynamicgl.patch
        mkdir build && cd build
        nice -n 10 ${configure//$'\n'/ }
        nice -n 10 ninja
        cmake --install ." >"$DV_CACHE/qt-build.log" 2>&1 || {
        tail -n 30 "$DV_CACHE/qt-build.log" >&2
        echo "Qt's build failed (log: $DV_CACHE/qt-build.log)" >&2
        return 1
    }
    if [ "$target" = mingw-w64 ]; then
        # Stripped, with the toolchain file it was built with named relative to
        # Qt's own, so that the folder may be moved or packed.
        release_run sh -c "find $prefix -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +"
        debian_sudo mkdir -p "$into.new/toolchain"
        debian_sudo cp "$work/mingw-w64-x86_64.cmake" "$into.new/toolchain/"
        debian_sudo sed -i "s|\"/qt-build/mingw-w64-x86_64.cmake\"|\"\${CMAKE_CURRENT_LIST_DIR}/../../../toolchain/mingw-w64-x86_64.cmake\"|" \
            "$into.new/lib/cmake/Qt6/qt.toolchain.cmake"
        grep -q 'CMAKE_CURRENT_LIST_DIR}/../../../toolchain/' "$into.new/lib/cmake/Qt6/qt.toolchain.cmake"
    fi
    debian_sudo umount "$SYSTEM$prefix" "$SYSTEM/qt-build"
    debian_sudo rm -rf --one-file-system "$into" "$work"
    mv "$into.new" "$into"
    QT_DIR=$into
}
