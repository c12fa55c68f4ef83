#!/usr/bin/env bash
# A long run of random user sessions: ACTIONS actions in all (default 1,000,000)
# spread over SEEDS seeds (default 20), two at a time, on the normal build in
# build/. Prints each seed's result and the totals; a failing
# seed's log names the action to replay:
#   scripts/check-long-session.sh [ACTIONS [SEEDS [FIRST_SEED]]]
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGES_EXTRA=(locales)
PRESET=default
source "$ROOT/scripts/setup.sh"
configure_and_build

actions=${1:-1000000}
seeds=${2:-20}
first=${3:-1000}
per_seed=$(( (actions + seeds - 1) / seeds ))
logs=$(mktemp -d)
start=$(date +%s)

run_seed() {
    local seed=$1
    if env QT_QPA_PLATFORM=offscreen LOCPATH="$BUILD_DIR/tests/locale" \
        DV_SESSION_SEED="$seed" DV_SESSION_ACTIONS="$per_seed" \
        "$BUILD_DIR/tests/tst_sessions" randomSessions -maxwarnings 0 >"$logs/$seed.log" 2>&1; then
        echo "seed $seed: $per_seed actions passed"
    else
        echo "seed $seed: FAILED"
        grep -A12 'FAIL!' "$logs/$seed.log" | sed 's/^/    /'
    fi
}
export -f run_seed
export BUILD_DIR per_seed logs

seq "$first" $((first + seeds - 1)) | xargs -P "$(nproc)" -I{} bash -c 'run_seed {}' | tee "$logs/summary"
failed=$(grep -c 'FAILED' "$logs/summary" || true)
passed=$(grep -c 'passed$' "$logs/summary" || true)
echo "$((seeds * per_seed)) actions over $seeds seeds ($first..$((first + seeds - 1))) in $(( $(date +%s) - start )) s; logs in $logs"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
