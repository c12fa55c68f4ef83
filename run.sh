#!/usr/bin/env bash
# Builds Dragon Valley if needed (in build/) and starts it. Without a display it
# starts it on a virtual one (Xvfb), and says which.
PRESET=default
source "$(dirname "$0")/scripts/setup.sh"
configure_and_build

program=$BUILD_DIR/app/dragon-valley
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    install_packages xvfb
    # The display and the key that lets other programs in (a screenshot, say)
    # are xvfb-run's: it sets DISPLAY and XAUTHORITY for the program.
    # shellcheck disable=SC2016
    exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" sh -c \
        'echo "No display here (DISPLAY is not set): Dragon Valley runs on the virtual display $DISPLAY (Xvfb) until you stop it with Ctrl+C. Other programs reach it with DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY" >&2; exec "$0"' \
        "$program"
fi
exec "$program"
