#!/usr/bin/env bash
# The whole test suite again under a Bulgarian locale (decimal comma) and at
# twice the pixel density, with shorter random sessions, on the CI build in
# build-ci/: the tests labelled locale and density (tests/CMakeLists.txt).
# The tests find bg_BG.UTF-8 through LOCPATH (the build folder's own copy).
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGES_EXTRA=(locales)
PRESET=ci
source "$ROOT/scripts/setup.sh"
configure_and_build

ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)" \
    --no-tests=error --label-regex '^(locale|density)$'
