#!/usr/bin/env bash
# Every check beyond the plain test run, one after another, as CI runs them
# (./test.sh --all runs the plain tests and then this). Each check is a script of
# its own that installs what it needs; a failing one does not stop the others.
# A check that cannot run on this machine exits with 77 and says why: it is
# counted as skipped.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
checks=(
    check-locale-density   # the tests under bg_BG.UTF-8 and at QT_SCALE_FACTOR=2
    check-hardening        # PIE, RELRO, stack protector, fortify, CET
    check-atspi            # the real program through AT-SPI: Tab order, keyboard play, verdicts, no false focus
    check-analysers        # clang-tidy and cppcheck
    check-valgrind         # memcheck over start-up and a random session
    check-sanitizers       # the tests built with ASan and UBSan, -Werror
    check-window-managers  # centred with its frame, fixed size: openbox, xfwm4, metacity
    check-wayland          # on a Wayland desktop (weston) through XWayland
    check-debian           # ./test.sh on a fresh Debian 13, as a new user runs it
    check-windows          # the Windows build under Wine: the suite, a session's canvas, the installer
    check-web              # the browser release in Chromium, against the Linux canvas
)
passed=0
failed=()
skipped=()
for check in "${checks[@]}"; do
    echo "==== $check" >&2
    start=$(date +%s)
    status=0
    "$ROOT/scripts/$check.sh" || status=$?
    case $status in
        0) passed=$((passed + 1)); verdict=passed ;;
        77) skipped+=("$check"); verdict=skipped ;;
        *) failed+=("$check"); verdict=FAILED ;;
    esac
    echo "==== $check $verdict in $(( $(date +%s) - start )) s" >&2
done
[ "${#skipped[@]}" -eq 0 ] || echo "skipped: ${skipped[*]}"
[ "${#failed[@]}" -eq 0 ] || echo "failed: ${failed[*]}"
echo "checks: $passed passed, ${#skipped[@]} skipped, ${#failed[@]} failed"
[ "${#failed[@]}" -eq 0 ]
