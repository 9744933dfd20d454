# Minimal Debian 12 roots for the bare-machine checks: made with debootstrap,
# entered with chroot, with /proc, /sys and /dev mounted while something runs
# inside and unmounted again whatever happens.

BARE_ROOT_MIRROR="${BARE_ROOT_MIRROR:-http://deb.debian.org/debian}"

bare_root_fail() {
    echo "check-bare-machine: $*" >&2
    exit 1
}

bare_root_require_host() {
    [ "$(id -u)" -eq 0 ] || bare_root_fail "must run as root (debootstrap, mount and chroot need it)"
    if ! command -v debootstrap >/dev/null; then
        DEBIAN_FRONTEND=noninteractive apt-get update -qq \
            && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
                debootstrap >/dev/null \
            || bare_root_fail "could not install debootstrap on this machine"
    fi
}

# bare_root_make DIR: a minbase bookworm with git and ca-certificates, nothing else.
bare_root_make() {
    local dir="$1" log
    mkdir -p "$dir"
    log="$(dirname "$dir")/debootstrap.log"
    echo "== making a bare Debian 12 root in $dir"
    if ! debootstrap --variant=minbase --include=git,ca-certificates bookworm \
        "$dir" "$BARE_ROOT_MIRROR" >"$log" 2>&1; then
        tail -n 20 "$log" >&2
        bare_root_fail "could not make the bare root with debootstrap from $BARE_ROOT_MIRROR (log above)"
    fi
    cp /etc/resolv.conf "$dir/etc/resolv.conf"
}

bare_root_mount() {
    local dir="$1"
    mount -t proc proc "$dir/proc"
    mount -t sysfs sysfs "$dir/sys"
    mount --rbind /dev "$dir/dev"
    mount --make-rslave "$dir/dev"
}

# Unmounts whatever is mounted below DIR, deepest first; safe to call twice.
bare_root_unmount() {
    local dir="$1" mounted
    [ -d "$dir" ] || return 0
    mapfile -t mounted < <(awk -v d="$(realpath "$dir")/" 'index($2, d) == 1 { print $2 }' /proc/mounts | sort -r)
    local m
    for m in "${mounted[@]}"; do
        umount -l "$m" 2>/dev/null || true
    done
}

# bare_root_run DIR COMMAND: runs COMMAND with bash inside the root as root,
# with a plain environment like a fresh login.
bare_root_run() {
    local dir="$1" command="$2"
    chroot "$dir" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 /bin/bash -c "$command"
}
