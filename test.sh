#!/usr/bin/env bash
# Builds Dragon Valley if needed and runs the whole test suite; exits non-zero on
# any failure. With --all (as CI runs it) the build treats warnings as errors and
# the checks of scripts/check-all.sh follow: the tests under a Bulgarian locale
# and at twice the density, hardening, clang-tidy and cppcheck, valgrind, and the
# tests built with sanitizers.
PACKAGES_EXTRA=(locales desktop-file-utils appstream)
source "$(dirname "$0")/scripts/setup.sh"
if [ "${1:-}" = "--all" ]; then
    configure_and_build -DDRAGON_VALLEY_WERROR=ON
else
    configure_and_build
fi

ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
if [ "${1:-}" = "--all" ]; then
    "$ROOT/scripts/check-all.sh"
fi
