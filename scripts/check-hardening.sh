#!/usr/bin/env bash
# Checks that the program of the CI build in build-ci/ (a Release build) is
# hardened, with Debian's hardening-check on the executable: position-independent,
# stack protector, full RELRO (relro + immediate binding), stack-clash
# protection. The two items it cannot judge for this program (docs/testing.md
# says why) are checked from the build instead: every object file carries the
# CET mark of -fcf-protection, and every source is compiled optimised with
# -D_FORTIFY_SOURCE=2 with no libc call left unprotected but the compiler's own
# memcpy, memset and memmove.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGES_EXTRA=(devscripts binutils)
PRESET=ci
source "$ROOT/scripts/setup.sh"
configure_and_build

binary=$BUILD_DIR/app/dragon-valley
hardening-check "$binary" || true
# Debian 13's hardening-check adds branch protection, which only AArch64 has:
# every x86-64 program fails it.
skip=(--nofortify --nocfprotection)
if [[ "$(hardening-check --help 2>&1 || true)" == *--nobranchprotection* ]] && [ "$(uname -m)" != aarch64 ]; then
    skip+=(--nobranchprotection)
fi
echo "-- the items hardening-check can judge here (${skip[*]}):"
failed=0
hardening-check "${skip[@]}" "$binary" || failed=1

objects=$(find "$BUILD_DIR/app" "$BUILD_DIR/game" "$BUILD_DIR/surface" "$BUILD_DIR/resources" -name '*.o')
for object in $objects; do
    if ! readelf -n "$object" | grep -q 'x86 feature: IBT, SHSTK'; then
        echo "no control-flow protection (IBT, SHSTK) in $object"
        failed=1
    fi
done
[ "$failed" -eq 0 ] && echo " Control flow integrity: every object file of the program is marked IBT, SHSTK"

database=$BUILD_DIR/compile_commands.json
commands=$(grep -E '"command": ".*/(app|game|surface)/[^/"]+\.cpp"' "$database" || true)
[ -n "$commands" ] || { echo "no compile commands for the program's sources in $database" >&2; exit 1; }
if echo "$commands" | grep -v -- '-D_FORTIFY_SOURCE=2' | grep -q .; then
    echo "a source compiled without -D_FORTIFY_SOURCE=2" >&2; failed=1
fi
if echo "$commands" | grep -vE -- ' -O[23s] ' | grep -q .; then
    echo "a source compiled without optimisation (_FORTIFY_SOURCE needs it)" >&2; failed=1
fi
unprotected=$(hardening-check -v "$binary" | sed -n 's/^\tunprotected: //p' | grep -vxE 'memcpy|memset|memmove' || true)
if [ -n "$unprotected" ]; then
    echo "unprotected libc calls: $unprotected" >&2; failed=1
fi
[ "$failed" -eq 0 ] && echo " Fortify Source functions: every source optimised with -D_FORTIFY_SOURCE=2; nothing to fortify"
exit "$failed"
