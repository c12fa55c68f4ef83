#!/usr/bin/env bash
# What a screen-reader user hears, through the Linux accessibility stack: the
# real program on a virtual display (Xvfb) with a D-Bus session, an AT-SPI bus
# and Orca of its own, one scenario of keys and clicks from xdotool, each step
# checked against what Orca speaks and, on the desktop, the focus events
# (scripts/atspi-check.py): the canvas from the keyboard, the lists, removals
# and clear all by key and by click, the verdicts after "Рицар".
#   scripts/check-atspi.sh                              the CI build's program
#   scripts/check-atspi.sh --page URL --browser NAME    the browser release at URL,
#                                                       in chromium or firefox
PRESET=ci
PACKAGES_EXTRA=(at-spi2-core dbus python3-gi gir1.2-atspi-2.0 xvfb xdotool imagemagick
                orca speech-dispatcher speech-dispatcher-audio-plugins libao4)
[ $# -eq 0 ] || PACKAGES_EXTRA+=(chromium firefox-esr)
source "$(dirname "$0")/setup.sh"
if [ $# -eq 0 ]; then
    configure_and_build
    set -- --program "$BUILD_DIR/app/dragon-valley"
fi
# Debian's python3, which has python3-gi, whatever else is first on PATH.
timeout 150 /usr/bin/python3 "$ROOT/scripts/atspi-check.py" "$@"
