#!/usr/bin/env bash
# The whole test suite, random sessions included, built with AddressSanitizer and
# UndefinedBehaviorSanitizer and with warnings as errors, in build-sanitize/ (the
# preset "sanitize"). The first finding stops the test that made it and fails
# the run.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGES_EXTRA=(locales)
PRESET=sanitize
source "$ROOT/scripts/setup.sh"
configure_and_build

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Shorter random sessions than the plain run: the instrumented build is slower.
export DV_SESSION_ACTIONS=${DV_SESSION_ACTIONS:-2500}

cd "$ROOT"
ctest --preset sanitize --parallel "$(nproc)"
