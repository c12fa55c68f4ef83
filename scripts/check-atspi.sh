#!/usr/bin/env bash
# The program as a screen-reader user meets it, through the Linux accessibility
# stack: the real program on a virtual display (Xvfb) with a D-Bus session of its
# own and the AT-SPI registry, keys and clicks from xdotool, and what it shows to
# assistive technology read back with Atspi (scripts/atspi-check.py): the Tab
# order, a press on the canvas, no focus announced by a control that does not
# have it, keyboard placement, the entries named as points and the verdicts in
# words after "Рицар".
#   scripts/check-atspi.sh
PRESET=ci
PACKAGES_EXTRA=(at-spi2-core dbus python3-gi gir1.2-atspi-2.0 xvfb xdotool
                orca speech-dispatcher speech-dispatcher-audio-plugins libao4)
source "$(dirname "$0")/setup.sh"
configure_and_build

# Debian's python3, which has python3-gi, whatever else is first on PATH.
timeout 120 /usr/bin/python3 "$ROOT/scripts/atspi-check.py" \
    --program "$BUILD_DIR/app/dragon-valley"
