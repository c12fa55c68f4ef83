#!/usr/bin/env bash
# Builds Dragon Valley if needed (in build/) and starts it.
PRESET=default
source "$(dirname "$0")/scripts/setup.sh"
configure_and_build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Dragon Valley needs a graphical display and found none (DISPLAY is not set); on a machine without one, run it under a virtual display with: xvfb-run ./run.sh" >&2
    exit 1
fi
exec "$BUILD_DIR/app/dragon-valley"
