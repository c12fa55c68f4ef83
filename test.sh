#!/usr/bin/env bash
# Builds Dragon Valley if needed and runs the whole test suite; exits non-zero on
# any failure.
PACKAGES_EXTRA=(locales desktop-file-utils appstream)
source "$(dirname "$0")/scripts/setup.sh"
configure_and_build

ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
