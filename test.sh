#!/usr/bin/env bash
# Builds Dragon Valley if needed and runs the plain test suite in build/; exits
# non-zero on any failure. With --all, as CI runs it, the build is build-ci/
# instead (warnings are errors there, and the benchmarks are built too) and
# every check of scripts/check-all.sh follows: the suite under a Bulgarian
# locale and at twice the density, valgrind, the sanitizers, hardening, the
# analysers, the screen reader, the desktops, a fresh Debian, Windows and the
# browser.
PACKAGES_EXTRA=(locales desktop-file-utils appstream)
PRESET=default
if [ "${1:-}" = "--all" ]; then
    PRESET=ci
fi
source "$(dirname "$0")/scripts/setup.sh"
configure_and_build

(cd "$ROOT" && ctest --preset "$PRESET" --parallel "$(nproc)")
if [ "$PRESET" = ci ]; then
    "$ROOT/scripts/check-all.sh"
fi
