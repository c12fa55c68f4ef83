#!/usr/bin/env bash
# What a screen-reader user hears from the program, through the Linux
# accessibility stack: the real program on a virtual display (Xvfb) with a D-Bus
# session, an AT-SPI bus and Orca of its own, one scenario of keys and clicks
# from xdotool, and each step checked against what Orca speaks, and against the
# focus events (scripts/atspi-check.py): the canvas from the keyboard, moving in
# a list, removals and clear all by key and by click, the verdicts after "Рицар".
# The same script checks the browser release: see its --page and --browser.
#   scripts/check-atspi.sh
PRESET=ci
PACKAGES_EXTRA=(at-spi2-core dbus python3-gi gir1.2-atspi-2.0 xvfb xdotool
                orca speech-dispatcher speech-dispatcher-audio-plugins libao4)
source "$(dirname "$0")/setup.sh"
configure_and_build

# Debian's python3, which has python3-gi, whatever else is first on PATH.
timeout 120 /usr/bin/python3 "$ROOT/scripts/atspi-check.py" \
    --program "$BUILD_DIR/app/dragon-valley"
