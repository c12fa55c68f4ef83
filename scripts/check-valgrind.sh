#!/usr/bin/env bash
# Valgrind's memcheck over the window's start-up and a short random session, on
# the CI build in build-ci/: `ctest -T memcheck` over the test labelled memcheck
# (tests/CMakeLists.txt), with the options of cmake/Reliability.cmake. Any memory
# error, or any memory leaked for good, fails the run and prints valgrind's log.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGES_EXTRA=(valgrind locales)
PRESET=ci
source "$ROOT/scripts/setup.sh"
configure_and_build

logs=$BUILD_DIR/Testing/Temporary
rm -f "$logs"/MemoryChecker.*.log
ctest --test-dir "$BUILD_DIR" --test-action memcheck --output-on-failure \
    --no-tests=error --label-regex '^memcheck$' || {
    cat "$logs"/MemoryChecker.*.log >&2
    exit 1
}
