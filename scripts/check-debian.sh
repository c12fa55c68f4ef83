#!/usr/bin/env bash
# The README's test command on a fresh Debian system, as a new user meets the
# project: a minimal system made with debootstrap (scripts/debian-system.sh), a
# user with sudo and nothing else, the commit under test cloned into its home,
# and ./test.sh run there: it must install what it needs, build and pass.
#   scripts/check-debian.sh [--suite SUITE] [COMMAND...]
# SUITE is trixie (Debian 13, the default), bookworm (Debian 12) or forky
# (Debian testing); COMMAND is ./test.sh by default.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/debian-system.sh"

suite=trixie
if [ "${1:-}" = --suite ]; then
    suite=$2
    shift 2
fi
command=${*:-./test.sh}
commit=$(git -C "$ROOT" rev-parse HEAD)

system="$DV_CACHE/check-$suite-$$"
trap 'debian_remove "$system"' EXIT
debian_copy "$suite" "$system"
debian_enter "$system"
debian_run "$system" useradd --create-home --shell /bin/bash pupil
echo 'pupil ALL=(ALL) NOPASSWD: ALL' | debian_sudo tee "$system/etc/sudoers.d/pupil" >/dev/null
home="$system/home/pupil"
debian_sudo git clone --quiet --no-checkout "$ROOT" "$home/dragon-valley"
debian_sudo git -C "$home/dragon-valley" checkout --quiet --detach "$commit"
debian_run "$system" chown -R pupil:pupil /home/pupil/dragon-valley

echo "== Debian $suite ($(cat "$system/etc/debian_version")), commit ${commit:0:12}: $command" >&2
start=$(date +%s)
status=0
debian_run "$system" su --login pupil --command "cd dragon-valley && $command" || status=$?
echo "== Debian $suite: '$command' exited with $status after $(( $(date +%s) - start )) s" >&2
exit "$status"
