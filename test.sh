#!/usr/bin/env bash
# Builds Dragon Valley if needed and runs the whole test suite in build/; exits
# non-zero on any failure. With --all, as CI runs it, the build is build-ci/
# instead (warnings are errors there, and the benchmarks are built too) and the
# checks of scripts/check-all.sh follow: the tests under a Bulgarian locale and
# at twice the density, hardening, clang-tidy and cppcheck, valgrind, and the
# tests built with sanitizers.
# The suite's runs for those checks (the CTest labels locale, density and
# memcheck) are left out of the plain run (the test presets of CMakePresets.json).
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
