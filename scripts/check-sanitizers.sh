#!/usr/bin/env bash
# The whole test suite, random sessions included, built with AddressSanitizer and
# UndefinedBehaviorSanitizer and with warnings as errors, in build-sanitize/ (or
# $SANITIZE_BUILD_DIR). The first finding stops the test that made it and fails
# the run.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}
PACKAGES_EXTRA=(locales)
source "$ROOT/scripts/setup.sh"
configure_and_build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDRAGON_VALLEY_SANITIZE=ON -DDRAGON_VALLEY_WERROR=ON
grep -q '^DRAGON_VALLEY_SANITIZE:BOOL=ON' "$BUILD_DIR/CMakeCache.txt" \
    || { echo "$BUILD_DIR was configured without DRAGON_VALLEY_SANITIZE=ON" >&2; exit 1; }

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Shorter random sessions than the plain run: the instrumented build is slower.
export DV_SESSION_ACTIONS=${DV_SESSION_ACTIONS:-2500}

ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
