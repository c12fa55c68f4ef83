#!/usr/bin/env bash
# Makes the browser release: the program as WebAssembly, built in the Debian 13
# system of scripts/release.sh with its emscripten and Qt 6.8.2, in a folder that
# any static web server can serve, and the same folder as a zip.
#
#   scripts/build-web.sh [--qt PATH] [--out DIR] [--tests]
#
#   --qt PATH   a Qt 6.8.2 for WebAssembly: its folder, or a tarball of it.
#               Without it: ../shared/web/ beside the repository, or the
#               cache's, or one built once from Debian 13's Qt source (25 minutes).
#   --out DIR   where the folder and the zip go (default: build-web/)
#   --tests     also builds the logic tests as WebAssembly and runs them under node
#
# It makes DragonValley-<version>-web/ (the page, the program, Qt's loader, the
# icon, the licences) and its zip, and prints the folder's path.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/release.sh"

qt='' out=$ROOT/build-web tests=OFF
while [ $# -gt 0 ]; do
    case "$1" in
        --qt) qt=$2; shift 2 ;;
        --out) out=$(realpath -m "$2"); shift 2 ;;
        --tests) tests=ON; shift ;;
        *) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
    esac
done

release_enter
release_qt wasm "$qt" || build_qt wasm
echo "Qt for WebAssembly: $QT_DIR" >&2
release_build wasm -DBUILD_TESTING="$tests"
build=$RELEASE/wasm
if [ "$tests" = ON ]; then
    release_run ctest --test-dir "$build" --output-on-failure >&2
fi
rm -rf "$build/stage" "$build/package"
release_run sh -ec "cmake --install $build --prefix $build/stage >/dev/null
    cpack --config $build/CPackConfig.cmake -G ZIP -B $build/package >/dev/null"
name=$(basename "$build"/package/DragonValley-*-web.zip .zip)
mkdir -p "$out"
rm -rf "${out:?}/$name" "$out/$name.zip"
cp -r "$build/stage" "$out/$name"
cp "$build/package/$name.zip" "$out/"
echo "$out/$name"
