#!/usr/bin/env bash
# Makes the Windows release (64-bit Windows 10 and 11), cross-built in the
# Debian 13 system of scripts/release.sh with its MinGW-w64 and Qt 6.8.2:
#
#   scripts/build-windows.sh [--qt PATH] [--out DIR] [--with-tests]
#
#   --qt PATH     a Qt 6.8.2 for 64-bit MinGW: its folder, or a tarball of it.
#                 Without it: ../shared/windows/ beside the repository, or the
#                 cache's, or one built once from Debian 13's Qt source (an hour).
#   --out DIR     where the two files go (default: build-windows/)
#   --with-tests  also cross-builds the tests and the session player
#                 (scripts/check-windows.sh runs them under Wine)
#
# It makes, from the program's install rules, DragonValley-<version>-win64.zip,
# a portable folder (unzip, double-click dragon-valley.exe), and
# DragonValley-<version>-win64-setup.exe, an installer (Start menu, "Apps and
# features", uninstaller; for all users when run as an administrator, else for
# the user).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/release.sh"

qt='' out=$ROOT/build-windows tests=OFF
while [ $# -gt 0 ]; do
    case "$1" in
        --qt) qt=$2; shift 2 ;;
        --out) out=$(realpath -m "$2"); shift 2 ;;
        --with-tests) tests=ON; shift ;;
        *) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
    esac
done

release_enter
release_qt mingw-w64 "$qt" || build_qt mingw-w64
echo "Qt for MinGW: $QT_DIR" >&2
release_build mingw-w64 -DBUILD_TESTING="$tests"
build=$RELEASE/mingw-w64

# The portable folder, zipped by CPack from the install rules, stripped; the
# installer puts the same folder in place, and its uninstaller removes what the
# folder's listing names: files, then folders from the deepest up.
rm -rf "$build/cpack"
release_run cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$build/cpack" >/dev/null
debian_sudo chown -R "$(id -u):$(id -g)" "$build/cpack"
zip=$(ls "$build"/cpack/DragonValley-*-win64.zip)
name=$(basename "$zip" .zip)
unzip -q "$zip" -d "$build/cpack/stage"
(
    cd "$build/cpack/stage/$name"
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
) >"$build/cpack/files.nsh"
release_run makensis -V2 -DSOURCE="$build/cpack/stage/$name" -DFILES="$build/cpack/files.nsh" \
    -DOUTFILE="$build/cpack/$name-setup.exe" "$build/installer.nsi" >&2
mkdir -p "$out"
cp "$zip" "$build/cpack/$name-setup.exe" "$out/"
ls -l "$out/$name.zip" "$out/$name-setup.exe" >&2
