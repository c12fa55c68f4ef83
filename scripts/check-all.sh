#!/usr/bin/env bash
# Every check beyond the plain test run, one after another, as CI runs them
# (./test.sh --all builds build-ci/, runs the plain tests there, then this). A
# check that is a script installs what it needs; one that cannot run on this
# machine says why in one line and exits with 77, counted as skipped. A failing
# check does not stop the others.
PRESET=ci
source "$(dirname "$0")/setup.sh"
cd "$ROOT" || exit 1
export CTEST_PARALLEL_LEVEL=$(nproc) CMAKE_BUILD_PARALLEL_LEVEL=$(nproc)
checks=(
    "locale-density  ctest --preset locale-density"      # the suite under bg_BG.UTF-8 and at QT_SCALE_FACTOR=2
    "valgrind        ctest --test-dir build-ci -T memcheck -L ^memcheck$ --output-on-failure" # start-up, a random session
    "sanitizers      cmake --workflow --preset sanitize"  # the suite built with ASan and UBSan, -Werror
    "hardening       scripts/check-hardening.sh"          # PIE, RELRO, stack protector, fortify, CET
    "analysers       scripts/check-analysers.sh"          # clang-tidy and cppcheck
    "atspi           scripts/check-atspi.sh"              # Orca on the desktop: keys, clicks, verdicts, focus
    "window-managers scripts/check-window-managers.sh"    # centred with its frame, fixed size: openbox, xfwm4, metacity
    "wayland         scripts/check-wayland.sh"            # on weston, through XWayland
    "debian          scripts/check-debian.sh"             # ./test.sh on a fresh Debian 13, as a new user runs it
    "windows         scripts/check-windows.sh"            # the Windows build under Wine: suite, session, installer
    "web             scripts/check-web.sh"                # the browser release in Chromium and Firefox, with Orca
)
passed=0 failed=() skipped=()
for check in "${checks[@]}"; do
    read -r name command <<<"$check"
    echo "==== $name" >&2
    start=$(date +%s) status=0
    bash -c "$command" || status=$?
    case $status in
        0) passed=$((passed + 1)) verdict=passed ;;
        77) skipped+=("$name") verdict=skipped ;;
        *) failed+=("$name") verdict=FAILED ;;
    esac
    echo "==== $name $verdict in $(( $(date +%s) - start )) s" >&2
done
[ "${#skipped[@]}" -eq 0 ] || echo "skipped: ${skipped[*]}"
[ "${#failed[@]}" -eq 0 ] || echo "failed: ${failed[*]}"
echo "checks: $passed passed, ${#skipped[@]} skipped, ${#failed[@]} failed"
[ "${#failed[@]}" -eq 0 ]
