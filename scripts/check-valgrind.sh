#!/usr/bin/env bash
# Valgrind's memcheck over the window's start-up and a short random session, on
# the CI build in build-ci/. Any memory error, or any memory
# leaked for good, fails the run. On the offscreen platform the toolkit's own
# one-time allocations stay reachable, so no suppression file is needed; should
# one be, put it in tests/valgrind.supp with the reason for each entry.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGES_EXTRA=(valgrind locales)
PRESET=ci
source "$ROOT/scripts/setup.sh"
configure_and_build

suppressions=()
[ -f "$ROOT/tests/valgrind.supp" ] && suppressions=(--suppressions="$ROOT/tests/valgrind.supp")

env QT_QPA_PLATFORM=offscreen LOCPATH="$BUILD_DIR/tests/locale" \
    DV_SESSION_SEED="${DV_SESSION_SEED:-11}" DV_SESSION_ACTIONS="${DV_SESSION_ACTIONS:-300}" \
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
        --show-leak-kinds=definite --errors-for-leak-kinds=definite \
        ${suppressions[@]+"${suppressions[@]}"} --num-callers=30 \
        "$BUILD_DIR/tests/tst_sessions" randomSessions
