# Minimal Debian systems made with debootstrap from the machine's own mirror,
# for building and testing on a release other than the machine's own. Sourced;
# needs root (sudo when not root). Kept under $DV_CACHE (~/.cache/dragon-valley):
# a base per release, and the packages the systems download.
#   debian_base SUITE         the cached base of SUITE (git, sudo, ca-certificates)
#   debian_copy SUITE DIR     a fresh copy of it in DIR
#   debian_enter DIR          mounts /proc, /sys, /dev into DIR; the machine's DNS
#                             and apt settings
#   debian_bind DIR HOST PATH [ro]  the host's folder HOST at PATH inside DIR
#   debian_leave DIR          unmounts everything mounted inside DIR
#   debian_remove DIR         leaves and deletes DIR
#   debian_run DIR COMMAND... runs COMMAND as root inside DIR
#   dv_unpack_once TARBALL DIR  unpacks TARBALL, its top folder left out, into DIR,
#                             unless DIR holds that very tarball's content already

DV_CACHE=${DV_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/dragon-valley}

debian_sudo() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The machine's own Debian mirror: the first non-security source of apt's
# configuration, in either of its two formats.
debian_mirror() {
    local mirror
    mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '
        /^URIs:/ { uri = $2 }
        /^Suites:/ && $0 !~ /-security/ && uri != "" { print uri; exit }')
    if [ -z "$mirror" ]; then
        mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | awk '
            $1 == "deb" && $0 !~ /security/ {
                for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit }
            }')
    fi
    [ -n "$mirror" ] || { echo "no Debian mirror in /etc/apt/sources.list*" >&2; return 1; }
    echo "$mirror"
}

# Installs the Debian packages of these commands where one is missing.
debian_tools() {
    local tool missing=()
    for tool in "$@"; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [ "${#missing[@]}" -eq 0 ] || debian_sudo env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

debian_base() {
    local suite=$1 base="$DV_CACHE/debian-$1-base" lock
    mkdir -p "$DV_CACHE"
    # One maker at a time; a second caller waits and then finds the base made.
    exec {lock}>"$DV_CACHE/debian-$suite.lock"
    flock "$lock"
    if [ ! -x "$base/usr/bin/git" ]; then
        debian_tools debootstrap
        local mirror script=()
        mirror=$(debian_mirror) || return 1
        # An older debootstrap knows no script for a newer suite: sid's fits.
        [ -e "/usr/share/debootstrap/scripts/$suite" ] || script=(/usr/share/debootstrap/scripts/sid)
        echo "Making a minimal Debian $suite system in $base (once; about a minute)" >&2
        debian_sudo rm -rf --one-file-system "$base.new"
        debian_sudo debootstrap --variant=minbase --include=git,sudo,ca-certificates \
            "$suite" "$base.new" "$mirror" "${script[@]}" >"$DV_CACHE/debootstrap-$suite.log" 2>&1 || {
            tail -n 20 "$DV_CACHE/debootstrap-$suite.log" >&2
            echo "debootstrap of $suite failed (log: $DV_CACHE/debootstrap-$suite.log)" >&2
            return 1
        }
        debian_sudo rm -rf "$base.new/var/cache/apt/archives"/*.deb
        debian_sudo mv "$base.new" "$base"
    fi
    exec {lock}>&-
    echo "$base"
}

debian_copy() {
    local base
    base=$(debian_base "$1") || return 1
    debian_sudo rm -rf --one-file-system "$2"
    mkdir -p "$(dirname "$2")"
    debian_sudo cp -a "$base" "$2"
}

debian_enter() {
    local root=$1 suite point
    suite=$(sed -n 's/^deb [^ ]* \([a-z]*\) .*/\1/p' "$root/etc/apt/sources.list" 2>/dev/null | head -n1)
    for point in proc sys dev dev/pts dev/shm; do
        mountpoint -q "$root/$point" || debian_sudo mount --bind "/$point" "$root/$point"
    done
    # The downloaded packages stay in the cache, one folder per release.
    mkdir -p "$DV_CACHE/apt-${suite:-unknown}"
    mountpoint -q "$root/var/cache/apt/archives" \
        || debian_sudo mount --bind "$DV_CACHE/apt-${suite:-unknown}" "$root/var/cache/apt/archives"
    debian_sudo cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    # The machine's own way of reaching its mirror: a proxy, and whether the
    # mirror's release files may have expired (a snapshot's testing does).
    apt-config dump Acquire | grep -E '^Acquire::(Check-Valid-Until|https?::Proxy) ' \
        | debian_sudo tee "$root/etc/apt/apt.conf.d/90machine-mirror" >/dev/null || true
}

debian_bind() {
    local root=$1 host=$2 point=$1$3
    mkdir -p "$host"
    debian_sudo mkdir -p "$point"
    mountpoint -q "$point" || debian_sudo mount --bind "$host" "$point"
    [ "${4:-}" != ro ] || debian_sudo mount -o remount,bind,ro "$point"
}

# Deepest first, so that a folder bound into the system never outlives it: rm
# --one-file-system would go through a bind mount of the same file system.
debian_leave() {
    local root point
    root=$(realpath -m "$1")
    findmnt -rn -o TARGET | while read -r point; do
        point=$(printf '%b' "$point")   # findmnt writes a blank as \x20
        case "$point" in "$root"/*) echo "$point" ;; esac
    done | sort -r | while read -r point; do
        debian_sudo umount "$point" || debian_sudo umount -l "$point"
    done
}

debian_remove() {
    debian_leave "$1"
    debian_sudo rm -rf --one-file-system "$1"
}

debian_run() {
    local root=$1
    shift
    debian_sudo chroot "$root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 TERM="${TERM:-dumb}" "$@"
}

dv_unpack_once() {
    local tarball=$1 into=$2 sum
    sum=$(sha256sum <"$tarball" | cut -d' ' -f1)
    [ "$(cat "$into/.from-tarball" 2>/dev/null)" != "$sum" ] || return 0
    echo "Unpacking $tarball into $into" >&2
    debian_sudo rm -rf --one-file-system "$into" "$into.new"
    mkdir -p "$into.new"
    tar -C "$into.new" --strip-components=1 -xf "$tarball"
    echo "$sum" >"$into.new/.from-tarball"
    mv "$into.new" "$into"
}
