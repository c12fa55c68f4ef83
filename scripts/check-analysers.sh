#!/usr/bin/env bash
# Static analysis of the program's own code: clang-tidy with the checks in
# .clang-tidy over the compile database of the CI build in build-ci/ (which
# builds the benchmarks too), and cppcheck.
# Generated moc and resource files are left out. Any finding fails the run.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGES_EXTRA=(clang-tidy cppcheck locales)
PRESET=ci
source "$ROOT/scripts/setup.sh"
configure_and_build   # the compile database and the generated moc headers

own_dirs='app|game|surface|tests|bench'
mapfile -t sources < <(cd "$ROOT" && git ls-files -- '*.cpp' | grep -E "^($own_dirs)/")
echo "clang-tidy: ${#sources[@]} files" >&2
run-clang-tidy -quiet -p "$BUILD_DIR" -j "$(nproc)" \
    "${sources[@]/#/$ROOT/}" > "$BUILD_DIR/clang-tidy.log" 2>&1 || {
    grep -E 'warning:|error:' -A3 "$BUILD_DIR/clang-tidy.log" | grep -v '^--$' | head -200
    echo "clang-tidy found problems (whole log: $BUILD_DIR/clang-tidy.log)" >&2
    exit 1
}
echo "clang-tidy: clean" >&2

echo "cppcheck: ${#sources[@]} files" >&2
# Every branch of every function: cppcheck 2.11 and later otherwise stop early
# in long functions and say so as a finding. Debian 12's 2.10 always does all.
depth=()
help=$(cppcheck --help)
if grep -q -- --check-level <<<"$help"; then
    depth=(--check-level=exhaustive)
fi
(cd "$ROOT" && cppcheck --quiet --error-exitcode=1 --inline-suppr "${depth[@]}" \
    --enable=warning,style,performance,portability --std=c++20 --language=c++ \
    --library=tests/cppcheck-qtest.cfg --library=qt \
    --suppressions-list=tests/cppcheck.supp -I . \
    -j "$(nproc)" "${sources[@]}")
echo "cppcheck: clean" >&2
