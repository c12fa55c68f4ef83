#!/usr/bin/env bash
# The whole test suite again under a Bulgarian locale (decimal comma) and at
# twice the pixel density, on the CI build in build-ci/.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGES_EXTRA=(locales)
PRESET=ci
source "$ROOT/scripts/setup.sh"
configure_and_build

# The tests find bg_BG.UTF-8 through LOCPATH (the build folder's own copy).
# Shorter random sessions than the plain run; every other test runs in full.
export DV_SESSION_ACTIONS=${DV_SESSION_ACTIONS:-2500}

echo "== LC_ALL=bg_BG.UTF-8" >&2
env LC_ALL=bg_BG.UTF-8 ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
echo "== QT_SCALE_FACTOR=2" >&2
env QT_SCALE_FACTOR=2 ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
